// Words carried to and from the personal dictionaries of today's phone
// keyboards: the dictionary export of Gboard (a zip holding
// "dictionary.txt", or that text alone) and a plain word list, one word a
// line. Both are plain bytes here; the callers read and write the files.
#pragma once

#include "core/base/VexlonTypes.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QVector>
#include <cstdint>
#include <optional>

namespace vexlon {

// The first line of every Gboard dictionary text, and the name of that
// text inside the zip Gboard makes.
inline const char* const kGboardHeader = "# Gboard Dictionary version:1";
inline const char* const kGboardEntryName = "dictionary.txt";

// One word of a keyboard file, with the 1-based line it came from.
struct KeyboardWord {
    QString word;
    QString shortcut;
    // As the file gives it ("ru-RU"), empty when it gives none.
    QString locale;
    int line = 0;
};

// A line that gave no word, and why.
struct SkippedLine {
    int line = 0;
    QString text;
    QString reason;
};

struct KeyboardWords {
    QVector<KeyboardWord> words;
    QVector<SkippedLine> skipped;
};

// True when the bytes start as a zip archive does.
bool looksLikeZip(QByteArrayView bytes);
// True when the first line (after a UTF-8 byte-order mark) is the Gboard
// header.
bool looksLikeGboardText(QByteArrayView bytes);

// The words of a Gboard dictionary text (UTF-8, a byte-order mark allowed,
// LF or CR LF). Throws VexlonError when the first line is not the header.
// A line without a tab or with an empty word is skipped with its reason;
// empty lines and comment lines ("#" first) are passed over. The blanks
// around each field are trimmed; a line without a locale gives an empty
// one, and fields past the locale are passed over. A line that is not valid
// UTF-8, or whose word holds a character of the kept codes' range, is
// skipped with its reason. Throws VexlonError, giving nothing, past
// kMaxWordsInFile words or kMaxWordsInFile skipped lines.
KeyboardWords ParseGboardText(const QByteArray& bytes);

// The dictionary text inside a Gboard zip. Throws VexlonError when the
// bytes are not a readable zip, when it holds no "dictionary.txt" (in any
// folder of it), or when that entry is larger than a dictionary file may
// be.
QByteArray ExtractGboardText(const QByteArray& zipBytes);

// The text Gboard imports: the header, then "word<TAB>shortcut<TAB>locale"
// lines ending in LF. Throws VexlonError naming the first word that holds a
// tab, a line end or a kept code, which the format cannot carry, and the
// first word that would not read back as itself: an empty word, one with
// blanks around it, or one starting with "#".
QByteArray BuildGboardText(const QVector<KeyboardWord>& words);
// A zip holding text as "dictionary.txt". Throws VexlonError when the
// archive cannot be made.
QByteArray BuildGboardZip(const QByteArray& text);

// The words of a plain word list: UTF-8 or Windows-1251 as takeEncoding
// tells, one word a line with the blanks around it trimmed. Empty lines are
// passed over; a line holding a blank inside is skipped with its reason, as
// is, in UTF-8, a line that is not valid UTF-8 or holds a character of the
// kept codes' range. Throws VexlonError, giving nothing, past
// kMaxWordsInFile words or kMaxWordsInFile skipped lines.
KeyboardWords ParseWordList(const QByteArray& bytes);
// UTF-8 without a byte-order mark, each word followed by LF. Throws
// VexlonError naming the first word that holds a line end or a kept code,
// or that would not read back as itself: an empty word, one holding a
// blank, or one starting with U+FEFF.
QByteArray BuildWordList(const QStringList& words);

// The keyboard locale of a language of the structure ("ru-RU"): the
// territory-qualified name of the locale whose language has the language's
// name; empty when no locale has it.
QString localeOfLanguage(const TiTAPStructure& structure, uint8_t id);
// The structure's language of a keyboard locale ("ru-RU", "ru_RU", "ru"):
// the first language whose name is the locale's language; nothing for an
// empty or unknown locale.
std::optional<uint8_t> languageOfLocale(const TiTAPStructure& structure, const QString& locale);

} // namespace vexlon
