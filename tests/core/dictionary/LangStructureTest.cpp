#include "core/dictionary/LangStructure.h"

#include "core/dictionary/CoreFixture.h"

using namespace vexlon;
using namespace vexlon::test;

namespace {

TiTAPStructure parsed(const QByteArray& bytes)
{
    TiTAPStructure s;
    EXPECT_TRUE(ParseLangStructure(bytes, s));
    return s;
}

} // namespace

TEST(LangStructureTest, ReadsHeaderOffsetsNamesAndLittleEndianCharacters)
{
    // Hand-made file: one language at offset 0x22, id 5, name "Russian",
    // two entries: 0x80 -> U+0410, 0x41 -> U+0041.
    QByteArray bytes(32, '\0');
    bytes[16] = 0x00;
    bytes[17] = 0x01;
    bytes[18] = 0x12;
    bytes[19] = 0x34;
    bytes[20] = 0x01;
    bytes += QByteArray("\x00\x22", 2);
    bytes += QByteArray("\x05\x07RussianXXXXXX\x02", 16);
    bytes += QByteArray("\x80\x10\x04\x41\x41\x00", 6);
    TiTAPStructure s = parsed(bytes);
    EXPECT_EQ(s.Version, 1);
    EXPECT_EQ(s.HeaderWord2, 0x1234);
    ASSERT_EQ(s.Count, 1);
    const TLanguages& l = s.Languages[0];
    EXPECT_EQ(l.Offset, 0x22);
    EXPECT_EQ(l.ID, 5);
    // The length byte counts the name's characters; the rest of the field is padding.
    EXPECT_EQ(l.Name, QByteArray("Russian"));
    EXPECT_EQ(l.CharCount, 2);
    EXPECT_EQ(l.Codes, (QVector<uint8_t> {0x80, 0x41}));
    EXPECT_EQ(l.Chars, (QVector<uint16_t> {0x0410, 0x0041}));
}

TEST(LangStructureTest, VersionMustBeOneBigEndian)
{
    QByteArray ok = langStructureBytes({{1, "A", {}}});
    TiTAPStructure s;
    EXPECT_TRUE(ParseLangStructure(ok, s));
    QByteArray swapped = ok;
    swapped[16] = 0x01;
    swapped[17] = 0x00;
    s.Count = 99;
    EXPECT_FALSE(ParseLangStructure(swapped, s));
    EXPECT_EQ(s.Count, 99); // untouched
}

TEST(LangStructureTest, DamagedFilesAreRefusedNotReadPastTheirEnd)
{
    const QByteArray good = langStructureBytes({{1, "English", {{0x41, u'A'}, {0x42, u'B'}}}, {2, "Other", {{0x80, u'Ж'}}}});
    TiTAPStructure s;
    ASSERT_TRUE(ParseLangStructure(good, s));
    // Every cut short of the whole file points past the end somewhere.
    for (qsizetype cut = 0; cut < good.size(); ++cut)
        EXPECT_FALSE(ParseLangStructure(good.left(cut), s)) << cut;
    QByteArray badOffset = good;
    badOffset[32] = '\x7F';
    EXPECT_FALSE(ParseLangStructure(badOffset, s));
    QByteArray badCount = good;
    badCount[20] = '\x40'; // 64 offsets do not fit
    EXPECT_FALSE(ParseLangStructure(badCount, s));

    const QString missing = QStringLiteral("/nonexistent/iTAP_Lang_structure.dat");
    EXPECT_FALSE(LoadLangStructure(missing, s));
}

TEST(LangStructureTest, NamesByIdWithUnknownForTheRest)
{
    TiTAPStructure s = parsed(langStructureBytes({{1, "English", {}}, {7, "Russian", {}}, {7, "Second", {}}}));
    EXPECT_EQ(LanguageName(s, 1), QByteArray("English"));
    EXPECT_EQ(LanguageName(s, 7), QByteArray("Russian")); // the first with the id
    EXPECT_EQ(LanguageName(s, 0xFF), QByteArray("Unknown"));
    EXPECT_EQ(LanguageName(TiTAPStructure {}, 1), QByteArray("Unknown"));
}

TEST(LangStructureTest, TranslationsInBothModifications)
{
    TiTAPStructure s = parsed(langStructureBytes({
        {2, "Russian", {{0x80, u'\u0410'}, {0x81, u'\u0410'}, {0x41, u'A'}}},
        {3, "German", {{0x80, u'ä'}, {0x3F, u'?'}}},
    }));
    // Mode 0 translates through the table; 0x80 stands for U+0410 = 0xC0.
    EXPECT_EQ(DecodeChar(s, 0, 2, 0x80), 0xC0);
    EXPECT_EQ(EncodeChar(s, 0, 2, 0xC0), 0x80); // the first of two codes wins
    EXPECT_EQ(DecodeChar(s, 0, 2, 0x90), 0x90); // missing code passes through
    EXPECT_EQ(EncodeChar(s, 0, 2, 'z'), 'z');
    // Mode 1, and any other value, passes everything through.
    for (int mode : {1, 2, -1}) {
        EXPECT_EQ(DecodeChar(s, mode, 2, 0x80), 0x80);
        EXPECT_EQ(EncodeChar(s, mode, 2, 0xC0), 0xC0);
    }
    // An id no language has.
    EXPECT_EQ(DecodeChar(s, 0, 0xFF, 0x80), 0x80);
    EXPECT_EQ(EncodeChar(s, 0, 0xFF, 0xC0), 0xC0);
    // A letter the code page lacks decodes to "?", but a real "?" in a word
    // is written as the code of "?", not as that letter's code.
    EXPECT_EQ(DecodeChar(s, 0, 3, 0x80), '?');
    EXPECT_EQ(EncodeChar(s, 0, 3, '?'), 0x3F);
}

TEST(LangStructureTest, TranslatorAgreesWithTheCharacterRules)
{
    std::vector<std::pair<uint8_t, char16_t>> chars;
    for (int i = 0; i < 64; ++i)
        chars.emplace_back(static_cast<uint8_t>(0x80 + i), static_cast<char16_t>(0x0410 + (i * 7) % 64));
    chars.emplace_back(0x41, u'Z');
    TiTAPStructure s = parsed(langStructureBytes({{4, "Mixed", chars}, {4, "Later", {{0x10, u'Q'}}}}));
    for (int mode : {0, 1}) {
        CharTranslator t(s, mode);
        for (int id : {4, 9}) {
            for (int b = 0; b < 256; ++b) {
                const auto byte = static_cast<uint8_t>(b);
                const auto lang = static_cast<uint8_t>(id);
                ASSERT_EQ(t.decode(lang, byte), DecodeChar(s, mode, lang, byte)) << mode << ' ' << id << ' ' << b;
                ASSERT_EQ(t.encode(lang, byte), EncodeChar(s, mode, lang, byte)) << mode << ' ' << id << ' ' << b;
            }
        }
    }
}
