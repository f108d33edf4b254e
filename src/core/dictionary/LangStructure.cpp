#include "core/dictionary/LangStructure.h"

#include "core/base/CodePage1251.h"

#include <QFile>
#include <memory>
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

QChar DecodeChar(const TiTAPStructure& structure, int32_t mode, uint8_t id, uint8_t code)
{
    return CharTranslator(structure, mode).decode(id, code);
}

std::optional<uint8_t> EncodeChar(const TiTAPStructure& structure, int32_t mode, uint8_t id, QChar character)
{
    return CharTranslator(structure, mode).encode(id, character);
}

CharTranslator::CharTranslator(const TiTAPStructure& structure, int32_t mode)
    : m_structure(structure), m_translate(mode == 0)
{
}

const CharTranslator::Language& CharTranslator::language(uint8_t id)
{
    // Without translation every language reads its codes as the code page.
    const int slot = m_translate ? id : 256;
    std::unique_ptr<Language>& entry = m_languages[static_cast<size_t>(slot)];
    if (entry)
        return *entry;
    entry = std::make_unique<Language>();
    Language& lang = *entry;
    const TLanguages* table = m_translate ? findLanguage(m_structure, id) : nullptr;
    lang.known = table != nullptr;
    if (table) {
        for (int j = 0; j < table->Codes.size(); ++j)
            lang.letters.insert(table->Chars[j]);
    }
    for (int code = 0; code < 256; ++code) {
        QChar c = cp1251::toUnicode(QByteArray(1, static_cast<char>(code))).at(0);
        if (table) {
            int entryOfCode = -1;
            for (int j = 0; j < table->Codes.size() && entryOfCode < 0; ++j) {
                if (table->Codes[j] == code)
                    entryOfCode = j;
            }
            if (entryOfCode >= 0) {
                // The table's character, unless an earlier entry gives the
                // same character another code: writing it back would change
                // the code.
                const char16_t unit = table->Chars[entryOfCode];
                int firstOfChar = entryOfCode;
                for (int j = 0; j < entryOfCode; ++j) {
                    if (table->Chars[j] == unit) {
                        firstOfChar = j;
                        break;
                    }
                }
                const bool own = firstOfChar == entryOfCode || table->Codes[firstOfChar] == code;
                // A table entry that is half a character, or falls among the
                // kept codes, cannot stand for a code on its own.
                const bool usable = !QChar(unit).isSurrogate() && !cp1251::isKeptCode(QChar(unit));
                c = own && usable ? QChar(unit) : cp1251::keptCode(static_cast<uint8_t>(code));
            } else if (lang.letters.contains(c.unicode())) {
                // A code the table leaves out, whose code-page character
                // the table gives to another code.
                c = cp1251::keptCode(static_cast<uint8_t>(code));
            }
        }
        if (c.unicode() == 0xFFFD)
            c = cp1251::keptCode(static_cast<uint8_t>(code));
        lang.decode[static_cast<size_t>(code)] = c;
        if (!cp1251::isKeptCode(c) && !lang.encode.contains(c.unicode()))
            lang.encode.insert(c.unicode(), static_cast<uint8_t>(code));
    }
    return lang;
}

QChar CharTranslator::decode(uint8_t id, uint8_t code)
{
    return language(id).decode[code];
}

std::optional<uint8_t> CharTranslator::encode(uint8_t id, QChar character)
{
    if (cp1251::isKeptCode(character))
        return cp1251::keptCodeByte(character);
    const Language& lang = language(id);
    auto it = lang.encode.constFind(character.unicode());
    if (it == lang.encode.constEnd())
        return std::nullopt;
    return it.value();
}

QString CharTranslator::decodeWord(uint8_t id, QByteArrayView codes)
{
    const Language& lang = language(id);
    QString word(codes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < codes.size(); ++i)
        word[i] = lang.decode[static_cast<uint8_t>(codes[i])];
    return word;
}

qsizetype CharTranslator::encodeWord(uint8_t id, QStringView word, QByteArray& codes)
{
    codes.clear();
    codes.reserve(word.size());
    for (qsizetype i = 0; i < word.size(); ++i) {
        const std::optional<uint8_t> code = encode(id, word.at(i));
        if (!code)
            return i;
        codes.append(static_cast<char>(*code));
    }
    return -1;
}

bool CharTranslator::hasLetterTable(uint8_t id)
{
    return language(id).known;
}

bool CharTranslator::isLanguageLetter(uint8_t id, QChar character)
{
    return language(id).letters.contains(character.unicode());
}

} // namespace vexlon
