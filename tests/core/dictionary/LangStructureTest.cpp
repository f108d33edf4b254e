#include "core/base/CodePage1251.h"
#include "core/dictionary/LangStructure.h"

#include "support/CoreFixture.h"

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

TEST(LangStructureTest, ReadsHeaderOffsetsNamesAndCharactersAndRefusesDamagedFiles)
{
    // One language at offset 0x22, id 5, "Russian": 0x80 -> U+0410, 0x41 -> U+0041.
    const QByteArray bytes = QByteArray(16, '\0') + QByteArray("\x00\x01\x12\x34\x01", 5) + QByteArray(11, '\0')
        + QByteArray("\x00\x22\x05\x07RussianXXXXXX\x02\x80\x10\x04\x41\x41\x00", 24);
    TiTAPStructure s = parsed(bytes);
    EXPECT_EQ(s.Version, 1);
    EXPECT_EQ(s.HeaderWord2, 0x1234);
    ASSERT_EQ(s.Count, 1);
    const TLanguages& l = s.Languages[0];
    EXPECT_EQ(std::tuple(l.Offset, l.ID, l.CharCount), std::tuple(0x22, 5, 2));
    EXPECT_EQ(l.Name, QByteArray("Russian")); // the rest of the field is padding
    EXPECT_EQ(l.Codes, (QVector<uint8_t> {0x80, 0x41}));
    EXPECT_EQ(l.Chars, (QVector<uint16_t> {0x0410, 0x0041}));

    // Damaged files are refused, not read past their end: every cut short of
    // the whole file points past the end somewhere.
    const QByteArray good = langStructureBytes({{1, "English", {{0x41, u'A'}, {0x42, u'B'}}}, {2, "Other", {{0x80, u'Ж'}}}});
    ASSERT_TRUE(ParseLangStructure(good, s));
    for (qsizetype cut = 0; cut < good.size(); ++cut)
        EXPECT_FALSE(ParseLangStructure(good.left(cut), s)) << cut;
    QByteArray badOffset = good;
    badOffset[32] = '\x7F';
    EXPECT_FALSE(ParseLangStructure(badOffset, s));
    QByteArray badCount = good;
    badCount[20] = '\x40'; // 64 offsets do not fit
    EXPECT_FALSE(ParseLangStructure(badCount, s));
    // The version is 1, big-endian; a refused file leaves the structure alone.
    QByteArray swapped = good;
    swapped[16] = 0x01;
    swapped[17] = 0x00;
    s.Count = 99;
    EXPECT_FALSE(ParseLangStructure(swapped, s));
    EXPECT_EQ(s.Count, 99);

    EXPECT_FALSE(LoadLangStructure(QStringLiteral("/nonexistent/iTAP_Lang_structure.dat"), s));
}

TEST(LangStructureTest, NamesAndTranslationsInBothModifications)
{
    TiTAPStructure s = parsed(langStructureBytes({
        {2, "Russian", {{0x80, u'\u0410'}, {0x81, u'\u0410'}, {0x41, u'A'}}},
        {3, "German", {{0x80, u'ä'}, {0x3F, u'?'}}},
        {9, "Nine", {}},
        {9, "Later", {{0x80, u'\u0411'}}},
    }));
    // Two languages with one id: the name is the first one's, the translation the last one's.
    EXPECT_EQ(LanguageName(s, 9), QByteArray("Nine"));
    EXPECT_EQ(DecodeChar(s, 0, 9, 0x80), QChar(u'\u0411'));
    EXPECT_EQ(LanguageName(s, 0xFF), QByteArray("Unknown"));
    EXPECT_EQ(LanguageName(TiTAPStructure {}, 1), QByteArray("Unknown"));
    // Mode 0 translates through the table; 0x80 stands for U+0410.
    EXPECT_EQ(DecodeChar(s, 0, 2, 0x80), QChar(u'\u0410'));
    EXPECT_EQ(EncodeChar(s, 0, 2, QChar(u'\u0410')), 0x80); // the first of two codes wins
    // The second code of that letter would come back as the first: it is kept.
    EXPECT_EQ(DecodeChar(s, 0, 2, 0x81), cp1251::keptCode(0x81));
    EXPECT_EQ(EncodeChar(s, 0, 2, cp1251::keptCode(0x81)), 0x81);
    // A code the table leaves out reads as its code-page character, unless
    // the table gives that character to another code (0xC0 is U+0410 in
    // Windows-1251, which is code 0x80 here).
    EXPECT_EQ(DecodeChar(s, 0, 2, 0x90), QChar(u'\u0452'));
    EXPECT_EQ(EncodeChar(s, 0, 2, QChar(u'\u0452')), 0x90);
    EXPECT_EQ(DecodeChar(s, 0, 2, 0xC0), cp1251::keptCode(0xC0));
    EXPECT_EQ(EncodeChar(s, 0, 2, u'z'), 'z');
    // A letter neither the table nor the code page holds cannot be stored.
    EXPECT_EQ(EncodeChar(s, 0, 2, u'ä'), std::nullopt);
    // Mode 1, and any other value, reads codes as Windows-1251.
    for (int mode : {1, 2, -1}) {
        EXPECT_EQ(DecodeChar(s, mode, 2, 0x80), QChar(u'\u0402'));
        EXPECT_EQ(EncodeChar(s, mode, 2, QChar(u'\u0410')), 0xC0);
        EXPECT_EQ(EncodeChar(s, mode, 3, u'ä'), std::nullopt);
    }
    EXPECT_EQ(DecodeChar(s, 0, 0xFF, 0xC0), QChar(u'\u0410'));
    EXPECT_EQ(EncodeChar(s, 0, 0xFF, QChar(u'\u0410')), 0xC0); // an id no language has
    // A letter outside the code page is the language's own; a real "?" in a
    // word is written as the code of "?".
    EXPECT_EQ(DecodeChar(s, 0, 3, 0x80), QChar(u'ä'));
    EXPECT_EQ(EncodeChar(s, 0, 3, u'ä'), 0x80);
    EXPECT_EQ(EncodeChar(s, 0, 3, u'?'), 0x3F);
}
