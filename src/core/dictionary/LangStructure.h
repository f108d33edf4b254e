// The language structure file "iTAP_Lang_structure.dat": the phone's
// languages, their display names and their character tables, and the
// translation between phone character codes and 8-bit text.
#pragma once

#include "core/base/VexlonTypes.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QStringView>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

namespace vexlon {

// Fills structure from the file; false (structure unchanged) when the file is
// missing, its version is not 1, or an offset or count points past its end.
bool LoadLangStructure(const QString& path, TiTAPStructure& structure);
// The same over the file's bytes.
bool ParseLangStructure(const QByteArray& bytes, TiTAPStructure& structure);

// The name of the first language with the id, or "Unknown".
QByteArray LanguageName(const TiTAPStructure& structure, uint8_t id);

// The character a phone code of a language stands for. Mode 0 translates
// through the language's table: a code the table leaves out reads as its
// Windows-1251 character. Mode 1, any other value, and a language the
// structure lacks read every code as Windows-1251. A code that would not be
// written back as itself (0x98, a code whose code-page character the table
// gives to another code, the second code of a character listed twice) reads
// as a kept code, so every code survives a round trip.
QChar DecodeChar(const TiTAPStructure& structure, int32_t mode, uint8_t id, uint8_t code);
// The phone code of a character: the code that DecodeChar turns into it, a
// kept code's own byte, or nothing when the phone cannot store the character
// in that language.
std::optional<uint8_t> EncodeChar(const TiTAPStructure& structure, int32_t mode, uint8_t id, QChar character);

// The same translations for whole dictionaries: each language's maps are
// built the first time it is needed, so reading or writing a full dictionary
// costs one lookup per character.
class CharTranslator {
public:
    CharTranslator(const TiTAPStructure& structure, int32_t mode);
    QChar decode(uint8_t id, uint8_t code);
    std::optional<uint8_t> encode(uint8_t id, QChar character);
    QString decodeWord(uint8_t id, QByteArrayView codes);
    // The codes of a word; the position of the first character that cannot
    // be stored, or -1 when all were.
    qsizetype encodeWord(uint8_t id, QStringView word, QByteArray& codes);
    // True when translation is on and the structure has the language.
    bool hasLetterTable(uint8_t id);
    // True when the language's table lists the character.
    bool isLanguageLetter(uint8_t id, QChar character);

private:
    struct Language {
        std::array<QChar, 256> decode;
        QHash<char16_t, uint8_t> encode;
        QSet<char16_t> letters;
        bool known = false;
    };
    const Language& language(uint8_t id);

    const TiTAPStructure& m_structure;
    bool m_translate;
    // One slot per id, and one for untranslated codes.
    std::array<std::unique_ptr<Language>, 257> m_languages;
};

} // namespace vexlon
