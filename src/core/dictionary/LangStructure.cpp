#include "core/dictionary/LangStructure.h"

#include "core/base/CodePage1251.h"

#include <QFile>
#include <QFileInfo>

namespace vexlon {

namespace {

// The language the translations use: the last one with the id.
const TLanguages* findLanguage(const TiTAPStructure& structure, uint8_t id)
{
    const TLanguages* found = nullptr;
    for (const TLanguages& language : structure.Languages) {
        if (language.ID == id)
            found = &language;
    }
    return found;
}

uint16_t bigEndian16(const QByteArray& bytes, qsizetype at)
{
    return static_cast<uint16_t>((static_cast<uint8_t>(bytes[at]) << 8) | static_cast<uint8_t>(bytes[at + 1]));
}

} // namespace

bool ParseLangStructure(const QByteArray& bytes, TiTAPStructure& structure)
{
    const qsizetype size = bytes.size();
    if (size < 32)
        return false;
    TiTAPStructure read;
    read.Version = bigEndian16(bytes, 16);
    if (read.Version != 1)
        return false;
    read.HeaderWord2 = bigEndian16(bytes, 18);
    read.Count = static_cast<uint8_t>(bytes[20]);
    if (32 + 2 * qsizetype(read.Count) > size)
        return false;
    read.Languages.resize(read.Count);
    for (int i = 0; i < read.Count; ++i)
        read.Languages[i].Offset = bigEndian16(bytes, 32 + 2 * i);
    for (TLanguages& language : read.Languages) {
        const qsizetype at = language.Offset;
        if (at + 16 > size)
            return false;
        language.ID = static_cast<uint8_t>(bytes[at]);
        const int nameLength = qMin(static_cast<uint8_t>(bytes[at + 1]), uint8_t(13));
        language.Name = bytes.mid(at + 2, nameLength);
        language.CharCount = static_cast<uint8_t>(bytes[at + 15]);
        const qsizetype entries = at + 16;
        if (entries + 3 * qsizetype(language.CharCount) > size)
            return false;
        language.Codes.resize(language.CharCount);
        language.Chars.resize(language.CharCount);
        for (int j = 0; j < language.CharCount; ++j) {
            const qsizetype e = entries + 3 * j;
            language.Codes[j] = static_cast<uint8_t>(bytes[e]);
            language.Chars[j] = static_cast<uint16_t>(static_cast<uint8_t>(bytes[e + 1]) | (static_cast<uint8_t>(bytes[e + 2]) << 8));
        }
    }
    structure = read;
    return true;
}

bool LoadLangStructure(const QString& path, TiTAPStructure& structure)
{
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return ParseLangStructure(file.readAll(), structure);
}

QByteArray LanguageName(const TiTAPStructure& structure, uint8_t id)
{
    for (const TLanguages& language : structure.Languages) {
        if (language.ID == id)
            return language.Name;
    }
    return QByteArray("Unknown");
}

uint8_t DecodeChar(const TiTAPStructure& structure, int32_t mode, uint8_t id, uint8_t code)
{
    if (mode != 0)
        return code;
    const TLanguages* language = findLanguage(structure, id);
    if (!language)
        return code;
    for (int j = 0; j < language->Codes.size(); ++j) {
        if (language->Codes[j] == code)
            return cp1251::fromUnit(language->Chars[j]);
    }
    return code;
}

uint8_t EncodeChar(const TiTAPStructure& structure, int32_t mode, uint8_t id, uint8_t character)
{
    if (mode != 0)
        return character;
    const TLanguages* language = findLanguage(structure, id);
    if (!language)
        return character;
    for (int j = 0; j < language->Codes.size(); ++j) {
        // A character the code page lacks reads as "?" but is not one: it
        // must not capture the real "?" of a word.
        const char16_t unit = language->Chars[j];
        if (cp1251::canEncode(unit) && cp1251::fromUnit(unit) == character)
            return language->Codes[j];
    }
    return character;
}

CharTranslator::CharTranslator(const TiTAPStructure& structure, int32_t mode)
    : m_structure(structure), m_translate(mode == 0)
{
}

const CharTranslator::Map& CharTranslator::decodeMap(uint8_t id)
{
    std::optional<Map>& slot = m_decode[id];
    if (!slot) {
        Map m;
        for (int b = 0; b < 256; ++b)
            m[static_cast<size_t>(b)] = DecodeChar(m_structure, 0, id, static_cast<uint8_t>(b));
        slot = m;
    }
    return *slot;
}

const CharTranslator::Map& CharTranslator::encodeMap(uint8_t id)
{
    std::optional<Map>& slot = m_encode[id];
    if (!slot) {
        Map m;
        for (int b = 0; b < 256; ++b)
            m[static_cast<size_t>(b)] = EncodeChar(m_structure, 0, id, static_cast<uint8_t>(b));
        slot = m;
    }
    return *slot;
}

uint8_t CharTranslator::decode(uint8_t id, uint8_t code)
{
    return m_translate ? decodeMap(id)[code] : code;
}

uint8_t CharTranslator::encode(uint8_t id, uint8_t character)
{
    return m_translate ? encodeMap(id)[character] : character;
}

} // namespace vexlon
