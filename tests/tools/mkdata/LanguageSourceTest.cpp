// The language structure file built from the readable language table, and
// the generator's refusal of broken tables.
#include "MkData.h"

#include "app/base/Ansi.h"
#include "app/base/TextFile.h"
#include "dictionary/LangStructure.h"

#include <QSet>
#include <gtest/gtest.h>

namespace vexlon::mkdata {
namespace {

const QString kStructurePath = QStringLiteral(VEXLON_BIN_DIR "/iTAP_Lang_structure.dat");

TiTAPStructure loadGenerated()
{
    TiTAPStructure structure;
    EXPECT_TRUE(LoadLangStructure(kStructurePath, structure)) << kStructurePath.toStdString();
    return structure;
}

const TLanguages* byName(const TiTAPStructure& structure, const char* name)
{
    for (const TLanguages& language : structure.Languages) {
        if (language.Name == name)
            return &language;
    }
    return nullptr;
}

QVector<LanguageDef> parse(const QString& text)
{
    return parseLanguageSource(text.split(QLatin1Char('\n')), QStringLiteral("test.txt"));
}

// The message of the SourceError that parsing text raises, or "" when it
// parses.
std::string refusal(const QString& text)
{
    try {
        parse(text);
    } catch (const SourceError& e) {
        return e.what();
    }
    return {};
}

TEST(mkdata_LangStructure, GeneratedFileHoldsTheSevenLanguages)
{
    const QByteArray bytes = readWholeFile(kStructurePath);
    ASSERT_GE(bytes.size(), 32);
    for (int i = 0; i < 16; ++i) // a readable tag
        EXPECT_TRUE(bytes[i] == 0 || (bytes[i] >= 0x20 && bytes[i] < 0x7F)) << i;

    const TiTAPStructure structure = loadGenerated();
    EXPECT_EQ(structure.Version, 1);
    ASSERT_EQ(structure.Count, structure.Languages.size());
    ASSERT_GE(structure.Count, 7);
    // The second header word is the offset of the first language block.
    EXPECT_EQ(structure.HeaderWord2, structure.Languages.first().Offset);

    QSet<uint8_t> ids;
    for (const TLanguages& language : structure.Languages) {
        EXPECT_FALSE(ids.contains(language.ID)) << int(language.ID);
        ids.insert(language.ID);
        EXPECT_FALSE(language.Name.isEmpty());
        EXPECT_LE(language.Name.size(), 13);
        EXPECT_EQ(language.CharCount, language.Codes.size());
        EXPECT_EQ(LanguageName(structure, language.ID), language.Name);
    }
    for (const char* name : {"English", "Russian", "Ukrainian", "Belarusian", "Bulgarian", "Serbian", "German"})
        EXPECT_NE(byName(structure, name), nullptr) << name;
}

TEST(mkdata_LangStructure, AlphabetsAreCompleteInBothCases)
{
    const TiTAPStructure structure = loadGenerated();
    for (const TLanguages& language : structure.Languages) {
        const QString name = QString::fromLatin1(language.Name);
        QSet<char16_t> chars(language.Chars.begin(), language.Chars.end());
        // Latin letters keep their ASCII values as codes.
        for (char16_t c = u'A'; c <= u'Z'; ++c) {
            for (char16_t unit : {c, char16_t(c + 32)}) {
                const auto j = language.Chars.indexOf(unit);
                ASSERT_GE(j, 0) << name.toStdString() << " lacks " << char(unit);
                EXPECT_EQ(language.Codes[j], unit) << name.toStdString();
            }
        }
        for (int j = 0; j < language.Chars.size(); ++j) {
            const QChar c(language.Chars[j]);
            EXPECT_TRUE(c.isLetter()) << name.toStdString() << " code " << int(language.Codes[j]);
            if (c.unicode() >= 0x80) {
                EXPECT_GE(language.Codes[j], 0x80) << name.toStdString();
            }
            // Both cases of every letter that has two.
            EXPECT_TRUE(chars.contains(c.toUpper().unicode())) << name.toStdString() << " lacks the capital of U+" << std::hex << int(c.unicode());
            EXPECT_TRUE(chars.contains(c.toLower().unicode())) << name.toStdString() << " lacks the small letter of U+" << std::hex << int(c.unicode());
        }
    }
    // The Russian alphabet is all of U+0410..U+044F and Ё ё.
    const TLanguages* russian = byName(structure, "Russian");
    ASSERT_NE(russian, nullptr);
    for (char16_t c = 0x0410; c <= 0x044F; ++c)
        EXPECT_TRUE(russian->Chars.contains(c)) << std::hex << int(c);
    EXPECT_TRUE(russian->Chars.contains(u'Ё'));
    EXPECT_TRUE(russian->Chars.contains(u'ё'));
    for (char16_t c : {u'Ґ', u'ґ', u'Є', u'є', u'І', u'і', u'Ї', u'ї'})
        EXPECT_TRUE(byName(structure, "Ukrainian")->Chars.contains(c)) << std::hex << int(c);
    for (char16_t c : {u'Ў', u'ў', u'І', u'і'})
        EXPECT_TRUE(byName(structure, "Belarusian")->Chars.contains(c)) << std::hex << int(c);
    for (char16_t c : {u'Ђ', u'ђ', u'Ј', u'ј', u'Љ', u'љ', u'Њ', u'њ', u'Ћ', u'ћ', u'Џ', u'џ'})
        EXPECT_TRUE(byName(structure, "Serbian")->Chars.contains(c)) << std::hex << int(c);
    for (char16_t c : {u'Ä', u'ä', u'Ö', u'ö', u'Ü', u'ü', u'ß'})
        EXPECT_TRUE(byName(structure, "German")->Chars.contains(c)) << std::hex << int(c);
}

TEST(mkdata_LangStructure, EveryLetterRoundTripsThroughTheTranslations)
{
    const TiTAPStructure structure = loadGenerated();
    int translated = 0;
    for (const TLanguages& language : structure.Languages) {
        for (int j = 0; j < language.Chars.size(); ++j) {
            const char16_t unit = language.Chars[j];
            if (!ansi::canEncode(unit))
                continue; // German umlauts: the code page has no byte for them
            const uint8_t byte = ansi::fromUnit(unit);
            EXPECT_EQ(EncodeChar(structure, 0, language.ID, byte), language.Codes[j])
                << language.Name.constData() << " U+" << std::hex << int(unit);
            EXPECT_EQ(DecodeChar(structure, 0, language.ID, language.Codes[j]), byte)
                << language.Name.constData() << " code " << std::hex << int(language.Codes[j]);
            if (byte != language.Codes[j])
                ++translated;
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
    EXPECT_EQ(ansi::toUnicode(first.Name), QStringLiteral("Украинский ЯЗ"));
    EXPECT_EQ(first.Codes, (QVector<uint8_t> {0x41, 0x42, 0x80, 0x81}));
    EXPECT_EQ(first.Chars, (QVector<uint16_t> {u'A', u'B', u'Я', u'я'}));
    const TLanguages& second = structure.Languages[1];
    EXPECT_EQ(second.ID, 200);
    EXPECT_EQ(second.Name, QByteArray("Second"));
    EXPECT_EQ(second.Codes, (QVector<uint8_t> {0x80, 0x81}));
    EXPECT_EQ(second.Chars, (QVector<uint16_t> {u'Ж', u'З'}));
}

TEST(mkdata_LangStructure, GeneratorRefusesBrokenTables)
{
    const QString ok = QStringLiteral("language 1 English\n 0x41 AB\nlanguage 2 Russian\n 0x41 AB\n 0x80 ЖЗ\n");
    EXPECT_EQ(refusal(ok), "");

    // A name of 14 characters.
    EXPECT_NE(refusal(QStringLiteral("language 1 Fourteen chars\n 0x41 A\n")).find("longer than 13"), std::string::npos);
    // The same id twice, once decimal and once hexadecimal.
    const std::string sameId = refusal(QStringLiteral("language 16 One\n 0x41 A\nlanguage 0x10 Two\n 0x41 A\n"));
    EXPECT_NE(sameId.find("test.txt:3:"), std::string::npos) << sameId;
    EXPECT_NE(sameId.find("already used on line 1"), std::string::npos) << sameId;
    // Overlapping runs give one code twice within a language.
    const std::string sameCode = refusal(QStringLiteral("language 1 One\n 0x80 ЖЗИ\n 0x82 К\n"));
    EXPECT_NE(sameCode.find("test.txt:3:"), std::string::npos) << sameCode;
    EXPECT_NE(sameCode.find("0x82"), std::string::npos) << sameCode;
    // One character under two codes.
    EXPECT_NE(refusal(QStringLiteral("language 1 One\n 0x80 Ж\n 0x90 Ж\n")), "");
    // Codes past 0xFF, bad numbers, entries without a language, empty languages.
    EXPECT_NE(refusal(QStringLiteral("language 1 One\n 0xFE ЖЗИ\n")).find("above 0xFF"), std::string::npos);
    EXPECT_NE(refusal(QStringLiteral("language 256 One\n 0x41 A\n")), "");
    EXPECT_NE(refusal(QStringLiteral("language 1 One\n 0x1G A\n")), "");
    EXPECT_NE(refusal(QStringLiteral(" 0x41 A\nlanguage 1 One\n")), "");
    EXPECT_NE(refusal(QStringLiteral("language 1 One\nlanguage 2 Two\n 0x41 A\n")).find("no characters"), std::string::npos);
    EXPECT_NE(refusal(QStringLiteral("language 1 One\n 0x41\n")), "");
    EXPECT_NE(refusal(QStringLiteral("# nothing\n")), "");
    // A name the code page cannot hold.
    EXPECT_NE(refusal(QStringLiteral("language 1 Ελληνικά\n 0x41 A\n")), "");
}

} // namespace
} // namespace vexlon::mkdata
