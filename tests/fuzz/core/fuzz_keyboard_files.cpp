// The Gboard dictionary text and zip readers and the word list reader, and
// the writers over whatever they read: what was written reads back as the
// same words.
#include "FuzzSupport.h"

#include "core/base/Errors.h"
#include "core/dictionary/KeyboardFiles.h"

namespace {

bool sameWords(const QVector<vexlon::KeyboardWord>& a, const QVector<vexlon::KeyboardWord>& b, bool withFields)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].word != b[i].word)
            return false;
        if (withFields && (a[i].shortcut != b[i].shortcut || a[i].locale != b[i].locale))
            return false;
    }
    return true;
}

void gboardRoundTrip(const QByteArray& text)
{
    using namespace vexlon;
    KeyboardWords words;
    try {
        words = ParseGboardText(text);
    } catch (const VexlonError&) {
        return; // no header, or too many lines
    }
    QByteArray built;
    try {
        built = BuildGboardText(words.words);
    } catch (const VexlonError&) {
        return; // a word with a line end inside: refused, as it should be
    }
    const KeyboardWords again = ParseGboardText(ExtractGboardText(BuildGboardZip(built)));
    if (!sameWords(words.words, again.words, true) || !again.skipped.isEmpty())
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace vexlon;
    const QByteArray input = fuzz::bytes(data, size);
    gboardRoundTrip(input);
    try {
        gboardRoundTrip(ExtractGboardText(input));
    } catch (const VexlonError&) {
        // not a zip, damaged, or without its dictionary text
    }
    try {
        const KeyboardWords words = ParseWordList(input);
        QStringList plain;
        for (const KeyboardWord& w : words.words)
            plain << w.word;
        try {
            const KeyboardWords again = ParseWordList(BuildWordList(plain));
            if (!sameWords(words.words, again.words, false) || !again.skipped.isEmpty())
                __builtin_trap();
        } catch (const VexlonError&) {
            // a kept code or another character the list cannot carry
        }
    } catch (const VexlonError&) {
        // too many lines
    }
    return 0;
}
