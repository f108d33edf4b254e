#include "MkData.h"

#include "core/base/CodePage1251.h"

#include <QHash>
#include <QRegularExpression>
#include <optional>

namespace vexlon::mkdata {

namespace {

// A decimal number or a "0x" hexadecimal one, 0..255.
std::optional<uint8_t> parseByte(const QString& text)
{
    bool ok = false;
    uint value = 0;
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        value = text.mid(2).toUInt(&ok, 16);
    else if (!text.isEmpty() && text.at(0).isDigit())
        value = text.toUInt(&ok, 10);
    if (!ok || value > 0xFF)
        return std::nullopt;
    return static_cast<uint8_t>(value);
}

QString hex(uint value)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

} // namespace

QVector<LanguageDef> parseLanguageSource(const QStringList& lines, const QString& source)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    QVector<LanguageDef> languages;
    QHash<uint8_t, int> idLines;     // id -> line of its language
    QHash<QString, int> nameLines;   // name -> line of its language
    QHash<uint8_t, int> codeLines;   // within the current language
    QHash<char16_t, int> charLines;  // within the current language
    int languageLine = 0;

    auto finishLanguage = [&]() {
        if (!languages.isEmpty() && languages.last().chars.isEmpty())
            throw SourceError(source, languageLine, QStringLiteral("the language \"%1\" has no characters").arg(languages.last().name));
    };

    for (int i = 0; i < lines.size(); ++i) {
        const int lineNo = i + 1;
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QString first = line.section(blanks, 0, 0);
        const QString rest = line.section(blanks, 1).trimmed();

        if (first == QLatin1String("language")) {
            finishLanguage();
            const QString idText = rest.section(blanks, 0, 0);
            const QString name = rest.section(blanks, 1).trimmed();
            const std::optional<uint8_t> id = parseByte(idText);
            if (!id)
                throw SourceError(source, lineNo, QStringLiteral("\"%1\" is not a language id (0..255)").arg(idText));
            if (name.isEmpty())
                throw SourceError(source, lineNo, QStringLiteral("the language %1 has no name").arg(hex(*id)));
            for (const QChar c : name) {
                if (!cp1251::canEncode(c.unicode()))
                    throw SourceError(source, lineNo, QStringLiteral("the name \"%1\" has a character the code page Windows-1251 lacks").arg(name));
            }
            if (cp1251::fromUnicode(name).size() > kMaxLanguageName)
                throw SourceError(source, lineNo, QStringLiteral("the name \"%1\" is longer than %2 characters").arg(name).arg(kMaxLanguageName));
            if (idLines.contains(*id))
                throw SourceError(source, lineNo, QStringLiteral("the language id %1 is already used on line %2").arg(hex(*id)).arg(idLines.value(*id)));
            if (nameLines.contains(name))
                throw SourceError(source, lineNo, QStringLiteral("the name \"%1\" is already used on line %2").arg(name).arg(nameLines.value(name)));
            if (languages.size() == 255)
                throw SourceError(source, lineNo, QStringLiteral("the file holds at most 255 languages"));
            idLines.insert(*id, lineNo);
            nameLines.insert(name, lineNo);
            codeLines.clear();
            charLines.clear();
            languageLine = lineNo;
            languages.append(LanguageDef {*id, name, {}});
            continue;
        }

        if (languages.isEmpty())
            throw SourceError(source, lineNo, QStringLiteral("a character line comes before the first \"language\" line"));
        const std::optional<uint8_t> firstCode = parseByte(first);
        if (!firstCode)
            throw SourceError(source, lineNo, QStringLiteral("\"%1\" is neither \"language\" nor a character code (0..255)").arg(first));
        QString characters = rest;
        characters.remove(blanks);
        if (characters.isEmpty())
            throw SourceError(source, lineNo, QStringLiteral("the code %1 is given no character").arg(hex(*firstCode)));
        LanguageDef& language = languages.last();
        uint code = *firstCode;
        for (const QChar c : characters) {
            if (c.isSurrogate())
                throw SourceError(source, lineNo, QStringLiteral("a character outside the Basic Multilingual Plane cannot be stored"));
            if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
                throw SourceError(source, lineNo, QStringLiteral("the control character U+%1 cannot be stored").arg(c.unicode(), 4, 16, QLatin1Char('0')));
            if (code > 0xFF)
                throw SourceError(source, lineNo, QStringLiteral("the character \"%1\" would get a code above 0xFF").arg(c));
            const auto byte = static_cast<uint8_t>(code);
            if (codeLines.contains(byte))
                throw SourceError(source, lineNo, QStringLiteral("the code %1 of \"%2\" is already used on line %3")
                                                      .arg(hex(code), language.name)
                                                      .arg(codeLines.value(byte)));
            if (charLines.contains(c.unicode()))
                throw SourceError(source, lineNo, QStringLiteral("the character \"%1\" of \"%2\" is already given on line %3")
                                                      .arg(c)
                                                      .arg(language.name)
                                                      .arg(charLines.value(c.unicode())));
            if (language.chars.size() == 255)
                throw SourceError(source, lineNo, QStringLiteral("\"%1\" has more than 255 characters").arg(language.name));
            codeLines.insert(byte, lineNo);
            charLines.insert(c.unicode(), lineNo);
            language.chars.append(CharEntry {byte, c.unicode()});
            ++code;
        }
    }
    finishLanguage();
    if (languages.isEmpty())
        throw SourceError(source, 0, QStringLiteral("holds no language"));
    return languages;
}

QByteArray buildLangStructure(const QVector<LanguageDef>& languages)
{
    constexpr int kHeaderSize = 32;
    constexpr int kBlockHeader = 16;
    if (languages.isEmpty() || languages.size() > 255)
        throw VexlonError(QStringLiteral("A language structure holds 1 to 255 languages, not %1.").arg(languages.size()));

    QByteArray out(kHeaderSize + 2 * languages.size(), '\0');
    const QByteArray tag(kLangStructureTag);
    out.replace(0, qMin<qsizetype>(tag.size(), 16), tag.left(16));
    out[16] = '\x00'; // version 1, big-endian
    out[17] = '\x01';
    // The second header word: the offset of the first language block, a
    // value a reader can check the offset table against.
    const auto firstBlock = static_cast<uint32_t>(out.size());
    out[18] = static_cast<char>((firstBlock >> 8) & 0xFF);
    out[19] = static_cast<char>(firstBlock & 0xFF);
    out[20] = static_cast<char>(languages.size());

    for (int i = 0; i < languages.size(); ++i) {
        const LanguageDef& language = languages.at(i);
        const QByteArray name = cp1251::fromUnicode(language.name);
        if (name.isEmpty() || name.size() > kMaxLanguageName)
            throw VexlonError(QStringLiteral("The language name \"%1\" must have 1 to %2 characters.").arg(language.name).arg(kMaxLanguageName));
        if (language.chars.isEmpty() || language.chars.size() > 255)
            throw VexlonError(QStringLiteral("The language \"%1\" must have 1 to 255 characters.").arg(language.name));
        const qsizetype offset = out.size();
        if (offset + kBlockHeader + 3 * language.chars.size() > 0x10000)
            throw VexlonError(QStringLiteral("The languages do not fit into the 64 KiB a language structure file can address."));
        out[32 + 2 * i] = static_cast<char>((offset >> 8) & 0xFF);
        out[32 + 2 * i + 1] = static_cast<char>(offset & 0xFF);

        QByteArray block(kBlockHeader, '\0');
        block[0] = static_cast<char>(language.id);
        block[1] = static_cast<char>(name.size());
        block.replace(2, name.size(), name);
        block[15] = static_cast<char>(language.chars.size());
        for (const CharEntry& entry : language.chars) {
            block.append(static_cast<char>(entry.code));
            block.append(static_cast<char>(entry.unit & 0xFF)); // little-endian
            block.append(static_cast<char>((entry.unit >> 8) & 0xFF));
        }
        out.append(block);
    }
    return out;
}

} // namespace vexlon::mkdata
