#!/usr/bin/env python3
"""The byte work of `vexlon-cli count FILE` done plainly, as the yardstick
of the counting benchmark: read the text, split it at blanks and line ends,
lower-case every word, keep the first of each repeated word, drop words
shorter than the minimum length, count the rest into the statistic list and
write the list file.

naive_count.py TEXT LIST [MINIMUM]
"""
import sys


def main():
    text_path, list_path = sys.argv[1], sys.argv[2]
    minimum = int(sys.argv[3]) if len(sys.argv) > 3 else 2
    data = open(text_path, "rb").read()
    if data.startswith(b"\xef\xbb\xbf"):
        text = data[3:].decode("utf-8")
    else:
        try:
            text = data.decode("utf-8")
        except UnicodeDecodeError:
            text = data.decode("cp1251", errors="replace")
    rows = []
    for line in text.replace("\r\n", "\n").split("\n"):
        rows.extend(line.split(" "))
    seen = {}
    for word in rows:
        seen.setdefault(word.lower(), None)
    statistic = {}
    for word in seen:
        if len(word) >= minimum:
            statistic[(word, 0xFF)] = statistic.get((word, 0xFF), 0) + 1
    lines = ["Vexlon list file", "Statistic", "naive", "%d;" % len(statistic)]
    lines += ["%s;%d;%d;" % (w, r, i) for (w, i), r in statistic.items()]
    with open(list_path, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("utf-8"))


if __name__ == "__main__":
    main()
