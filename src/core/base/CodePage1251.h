// The program's 8-bit code page, Windows-1251, the encoding of the phone's
// words in mode 2 and of the program's own text files. Words are held as
// Unicode text; a byte or phone code that stands for no character is held as
// a kept code (a private-use character carrying the byte), so that it is
// written back as it came. The byte to character mapping, lower-casing and
// the word order all come from ICU through Qt.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QCollator>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <cstdint>

namespace vexlon::cp1251 {

// A byte the code page gives no character (0x98) becomes a kept code.
QString toUnicode(QByteArrayView bytes);
// Characters the code page lacks become "?"; for the program's own texts.
QByteArray fromUnicode(QStringView text);
// The bytes of a word: kept codes give their byte back. Returns the position
// of the first character the code page lacks, or -1 when all were encoded.
qsizetype encodeWord(QStringView word, QByteArray& out);

// Kept codes: U+F700 + the byte.
inline constexpr char16_t kKeptCodeBase = 0xF700;
inline bool isKeptCode(QChar c) { return c.unicode() >= kKeptCodeBase && c.unicode() <= kKeptCodeBase + 0xFF; }
inline QChar keptCode(uint8_t code) { return QChar(static_cast<char16_t>(kKeptCodeBase + code)); }
inline uint8_t keptCodeByte(QChar c) { return static_cast<uint8_t>(c.unicode() - kKeptCodeBase); }
// The word as shown: each kept code as its byte in hexadecimal between
// angle brackets.
QString shown(QStringView word);
// The kept codes of a word as hexadecimal bytes ("9F 98"); empty when none.
QString keptCodesText(QStringView word);
// True when the code page or a kept code holds the character.
bool isEncodable(QChar c);
// The first byte of the conversion of one UTF-16 code unit ("?" when the code
// page lacks the character).
uint8_t fromUnit(char16_t unit);
// True when the code page holds the character.
bool canEncode(char16_t unit);

// Locale-aware lower case of a word, character by character: a character
// whose lower case is not one character, and every kept code, stays as it is.
QString toLower(QStringView word);

// Locale-aware, case-sensitive order of two words: lower case before upper
// case of the same letter; -1, 0 or 1.
int compare(QStringView a, QStringView b);

// The locale behind lower-casing, word order and date formats: the system's,
// or a fixed real locale when the system runs the "C" locale.
const QLocale& locale();
const QCollator& collator();

// The current local date and time as "<short date> at <long time>".
QString nowStamp();

} // namespace vexlon::cp1251
