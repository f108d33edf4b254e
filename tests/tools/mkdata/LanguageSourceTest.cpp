// The language structure file built from the readable language table, and
// the generator's refusal of broken tables.
#include "MkData.h"

#include "core/base/CodePage1251.h"
#include "core/dictionary/LangStructure.h"

#include <QSet>
#include <gtest/gtest.h>

namespace vexlon::mkdata {
namespace {

TiTAPStructure loadGenerated()
{
    TiTAPStructure structure;
    const QString path = QStringLiteral(VEXLON_BIN_DIR "/iTAP_Lang_structure.dat");
    EXPECT_TRUE(LoadLangStructure(path, structure)) << path.toStdString();
    return structure;
}

QVector<LanguageDef> parse(const QString& text)
{
    return parseLanguageSource(text.split(QLatin1Char('\n')), QStringLiteral("test.txt"));
}

TEST(mkdata_LangStructure, GeneratedFileHoldsTheSevenLanguagesWithBothCases)
{
    const TiTAPStructure structure = loadGenerated();
    ASSERT_EQ(structure.Count, structure.Languages.size());
    ASSERT_FALSE(structure.Languages.isEmpty());
    // The second header word is the offset of the first language block.
    EXPECT_EQ(structure.HeaderWord2, structure.Languages.first().Offset);
    QSet<uint8_t> ids;
    QHash<QByteArray, const TLanguages*> byName;
    for (const TLanguages& language : structure.Languages) {
        SCOPED_TRACE(language.Name.constData());
        EXPECT_FALSE(ids.contains(language.ID));
        ids.insert(language.ID);
        byName.insert(language.Name, &language);
        EXPECT_EQ(language.CharCount, language.Codes.size());
        const QSet<char16_t> chars(language.Chars.begin(), language.Chars.end());
        for (char16_t c = u'A'; c <= u'Z'; ++c) // Latin letters keep their ASCII codes
            for (char16_t unit : {c, char16_t(c + 32)})
                EXPECT_EQ(language.Codes.value(language.Chars.indexOf(unit)), unit) << char(unit);
        for (const char16_t unit : language.Chars) {
            const QChar c(unit);
            EXPECT_TRUE(c.isLetter() && chars.contains(c.toUpper().unicode()) && chars.contains(c.toLower().unicode()))
                << "U+" << std::hex << int(unit);
        }
    }
    EXPECT_EQ(ids.size(), 7);
    // Letters each alphabet cannot do without.
    const std::pair<const char*, std::u16string> letters[] = {
        {"English", u""},
        {"Russian", u"АЯаяЁё"},
        {"Ukrainian", u"ҐґЄєІіЇї"},
        {"Belarusian", u"ЎўІі"},
        {"Bulgarian", u"ЪъЩщ"},
        {"Serbian", u"ЂђЈјЉљЊњЋћЏџ"},
        {"German", u"ÄäÖöÜüß"},
    };
    for (const auto& [name, needed] : letters) {
        ASSERT_TRUE(byName.contains(name)) << name;
        for (char16_t c : needed)
            EXPECT_TRUE(byName[name]->Chars.contains(c)) << name << " lacks U+" << std::hex << int(c);
    }
    for (char16_t c = 0x0410; c <= 0x044F; ++c)
        EXPECT_TRUE(byName["Russian"]->Chars.contains(c)) << std::hex << int(c);
}

TEST(mkdata_LangStructure, EveryLetterRoundTripsThroughTheTranslations)
{
    const TiTAPStructure structure = loadGenerated();
    int translated = 0;
    for (const TLanguages& language : structure.Languages) {
        for (int j = 0; j < language.Chars.size(); ++j) {
            const char16_t unit = language.Chars[j];
            if (!cp1251::canEncode(unit))
                continue; // German umlauts: the code page has no byte for them
            const uint8_t byte = cp1251::fromUnit(unit);
            EXPECT_EQ(EncodeChar(structure, 0, language.ID, byte), language.Codes[j])
                << language.Name.constData() << " U+" << std::hex << int(unit);
            EXPECT_EQ(DecodeChar(structure, 0, language.ID, language.Codes[j]), byte)
                << language.Name.constData() << " code " << std::hex << int(language.Codes[j]);
            translated += byte != language.Codes[j];
        }
    }
    EXPECT_GT(translated, 0);
}

TEST(mkdata_LangStructure, BuiltFileReadsBackAsItsSource)
{
    const QVector<LanguageDef> source = parse(QStringLiteral("# two languages\n"
                                                             "language 0x10 Украинский ЯЗ\n"
                                                             "  0x41 AB\n"
                                                             "  0x80 Я я\n"
                                                             "\n"
                                                             "language 200 Second\n"
                                                             "  0x80 ЖЗ\n"));
    TiTAPStructure structure;
    ASSERT_TRUE(ParseLangStructure(buildLangStructure(source), structure));
    ASSERT_EQ(structure.Count, 2);
    const TLanguages& first = structure.Languages[0];
    EXPECT_EQ(first.ID, 0x10);
    // Thirteen characters: 26 bytes of UTF-8, 13 in the code page.
    EXPECT_EQ(cp1251::toUnicode(first.Name), QStringLiteral("Украинский ЯЗ"));
    EXPECT_EQ(first.Codes, (QVector<uint8_t> {0x41, 0x42, 0x80, 0x81}));
    EXPECT_EQ(first.Chars, (QVector<uint16_t> {u'A', u'B', u'Я', u'я'}));
    const TLanguages& second = structure.Languages[1];
    EXPECT_EQ(second.ID, 200);
    EXPECT_EQ(second.Codes, (QVector<uint8_t> {0x80, 0x81}));
    EXPECT_EQ(second.Chars, (QVector<uint16_t> {u'Ж', u'З'}));
}

TEST(mkdata_LangStructure, GeneratorRefusesBrokenTables)
{
    EXPECT_NO_THROW(parse(QStringLiteral("language 1 English\n 0x41 AB\nlanguage 2 Russian\n 0x41 AB\n 0x80 ЖЗ\n")));
    // Each source with a piece of the message it must be refused with.
    const std::pair<QString, const char*> broken[] = {
        {QStringLiteral("language 1 Fourteen chars\n 0x41 A\n"), "longer than 13"},
        {QStringLiteral("language 16 One\n 0x41 A\nlanguage 0x10 Two\n 0x41 A\n"), "test.txt:3:"},
        {QStringLiteral("language 16 One\n 0x41 A\nlanguage 0x10 Two\n 0x41 A\n"), "already used on line 1"},
        {QStringLiteral("language 1 One\n 0x80 ЖЗИ\n 0x82 К\n"), "test.txt:3:"}, // one code twice
        {QStringLiteral("language 1 One\n 0x80 ЖЗИ\n 0x82 К\n"), "0x82"},
        {QStringLiteral("language 1 One\n 0x80 Ж\n 0x90 Ж\n"), ""}, // one character under two codes
        {QStringLiteral("language 1 One\n 0xFE ЖЗИ\n"), "above 0xFF"},
        {QStringLiteral("language 256 One\n 0x41 A\n"), ""},
        {QStringLiteral("language 1 One\n 0x1G A\n"), ""},
        {QStringLiteral(" 0x41 A\nlanguage 1 One\n"), ""},
        {QStringLiteral("language 1 One\nlanguage 2 Two\n 0x41 A\n"), "no characters"},
        {QStringLiteral("language 1 One\n 0x41\n"), ""},
        {QStringLiteral("# nothing\n"), ""},
        {QStringLiteral("language 1 Ελληνικά\n 0x41 A\n"), ""}, // the code page cannot hold the name
    };
    for (const auto& [text, message] : broken) {
        try {
            parse(text);
            ADD_FAILURE() << "accepted: " << text.toStdString();
        } catch (const SourceError& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
    }
}

} // namespace
} // namespace vexlon::mkdata
