// The program's 8-bit code page, Windows-1251. Every word of the dictionary
// table and of the program's own text files is held as its bytes. The byte to
// character mapping, lower-casing and the word order all come from ICU
// through Qt.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QCollator>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <cstdint>

namespace vexlon::cp1251 {

QString toUnicode(QByteArrayView bytes);
// Characters the code page lacks become "?".
QByteArray fromUnicode(QStringView text);
// The first byte of the conversion of one UTF-16 code unit ("?" when the code
// page lacks the character).
uint8_t fromUnit(char16_t unit);
// True when the code page holds the character.
bool canEncode(char16_t unit);

// Locale-aware lower case of 8-bit text.
QByteArray toLower(QByteArrayView bytes);

// Locale-aware, case-sensitive order of two 8-bit texts: lower case before
// upper case of the same letter; -1, 0 or 1.
int compare(QByteArrayView a, QByteArrayView b);

// The locale behind lower-casing, word order and date formats: the system's,
// or a fixed real locale when the system runs the "C" locale.
const QLocale& locale();
const QCollator& collator();

// The current local date and time as "<short date> at <long time>".
QString nowStamp();

} // namespace vexlon::cp1251
