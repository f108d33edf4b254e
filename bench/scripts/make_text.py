#!/usr/bin/env python3
"""Writes a seeded text for the counting benchmarks.

make_text.py OUT MEGABYTES DISTINCT [--utf8]

Every one of DISTINCT words (Latin and Cyrillic letters, 3 to 10 letters)
occurs at least once; the rest of the text draws words with a falling
frequency, about one in eight with a capital first letter and one in fifty
in capitals. Lines hold 8 to 16 words. Windows-1251 unless --utf8.
"""
import random
import sys


def main():
    out, megabytes, distinct = sys.argv[1], float(sys.argv[2]), int(sys.argv[3])
    utf8 = "--utf8" in sys.argv[4:]
    rng = random.Random(1251)
    latin = "abcdefghijklmnopqrstuvwxyz"
    cyrillic = "".join(chr(c) for c in range(0x430, 0x450)) + "\u0451"
    words = set()
    while len(words) < distinct:
        letters = latin if rng.random() < 0.5 else cyrillic
        words.add("".join(rng.choice(letters) for _ in range(rng.randint(3, 10))))
    vocabulary = sorted(words)
    rng.shuffle(vocabulary)
    target = int(megabytes * 1024 * 1024)
    encoding = "utf-8" if utf8 else "cp1251"

    def spell(word):
        r = rng.random()
        if r < 0.02:
            return word.upper()
        if r < 0.14:
            return word[0].upper() + word[1:]
        return word

    chunks = []
    size = 0
    line = []
    order = iter(vocabulary)
    first_pass = True
    while size < target:
        if first_pass:
            word = next(order, None)
            if word is None:
                first_pass = False
                continue
        else:
            # A falling frequency: low ranks far more often than high ones.
            word = vocabulary[min(int(rng.paretovariate(0.6)) - 1, distinct - 1)] if rng.random() < 0.7 \
                else vocabulary[rng.randrange(distinct)]
        line.append(spell(word))
        if len(line) >= rng.randint(8, 16):
            text = " ".join(line) + "\r\n"
            chunks.append(text)
            size += len(text.encode(encoding))
            line = []
    if line:
        chunks.append(" ".join(line) + "\r\n")
    with open(out, "wb") as f:
        if utf8:
            f.write(b"\xef\xbb\xbf")
        f.write("".join(chunks).encode(encoding))


if __name__ == "__main__":
    main()
