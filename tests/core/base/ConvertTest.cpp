#include "core/base/CodePage1251.h"
#include "core/base/Convert.h"
#include "core/base/Errors.h"
#include "core/base/TextFile.h"

#include <gtest/gtest.h>

using namespace vexlon;

TEST(ConvertTest, DecimalPrefixedHexadecimalAndHexColumns)
{
    const std::pair<const char*, int32_t> good[] = {{"0", 0}, {"  42", 42}, {"-17", -17}, {"+5", 5}, {"$1F", 31}, {"0x10", 16},
                                                    {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN}, {"$FFFFFFFF", -1}};
    for (const auto& [text, value] : good)
        EXPECT_EQ(tryStrToInt(text), value) << text;
    for (const char* bad : {"", " ", "12 ", "1a", "2147483648", "$", "$100000000", "--1", "1.0"})
        EXPECT_FALSE(tryStrToInt(bad).has_value()) << bad;
    // The hexadecimal columns take hexadecimal digits only.
    const std::pair<const char*, int32_t> hex[] = {{"0A", 10}, {"1", 1}, {"ff", 255}};
    for (const auto& [text, value] : hex)
        EXPECT_EQ(hexToInt(text), value) << text;
    for (const char* bad : {"", " 1", "-1", "$1", "0x1", "G"})
        EXPECT_FALSE(tryHexToInt(bad).has_value()) << bad;
    try {
        hexToInt("0Z");
        FAIL();
    } catch (const ConvertError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("'0Z' is not a valid integer value"));
    }
}

TEST(AnsiTest, CodePageLowerCaseAndWordOrder)
{
    EXPECT_EQ(cp1251::toUnicode(QByteArray("\xC0\xE0\xA8", 3)), QStringLiteral(u"Аа\u0401"));
    EXPECT_EQ(cp1251::fromUnicode(QStringLiteral(u"Аа\u0401")), QByteArray("\xC0\xE0\xA8", 3));
    // A character the code page lacks becomes "?".
    EXPECT_EQ(cp1251::fromUnicode(QStringLiteral(u"ä")), QByteArray("?"));
    EXPECT_FALSE(cp1251::canEncode(u'ä'));
    EXPECT_EQ(cp1251::fromUnit(u'\u0410'), 0xC0);
    // Latin and Cyrillic, Ё included, lower-case; digits, signs and kept
    // codes stay.
    const QChar kept = cp1251::keptCode(0xC0);
    EXPECT_EQ(cp1251::toLower(QStringLiteral(u"AbC1-АЯЁÄ") + kept), QStringLiteral(u"abc1-аяёä") + kept);
    // Words sort lower case first, then by locale; Cyrillic letters by the
    // alphabet, not by code (Ё between Е and Ж).
    const std::pair<const char16_t*, const char16_t*> ordered[] = {{u"a", u"A"}, {u"A", u"b"}, {u"abc", u"abd"}, {u"Е", u"Ё"}, {u"Ё", u"Ж"}};
    for (const auto& [a, b] : ordered)
        EXPECT_LT(cp1251::compare(a, b), 0) << QString::fromUtf16(a).toStdString();
    EXPECT_EQ(cp1251::compare(u"same", u"same"), 0);
}

// Every byte and a kept code are written back as themselves; a character
// the code page lacks stops a word's encoding at its position.
TEST(AnsiTest, WordsKeepEveryByteAndRefuseWhatTheyCannotHold)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString text = cp1251::toUnicode(all) + cp1251::keptCode(0x9F);
    QByteArray back;
    EXPECT_EQ(cp1251::encodeWord(text, back), -1);
    EXPECT_EQ(back, all + '\x9F');
    EXPECT_EQ(cp1251::keptCodesText(text), QStringLiteral("9F"));
    EXPECT_EQ(cp1251::encodeWord(u"abäc", back), 2);
    EXPECT_EQ(cp1251::shown(QStringLiteral("a") + cp1251::keptCode(0x9F)), QStringLiteral(u"a⟨9F⟩"));
}

TEST(ErrorsTest, MessagesEscapeControlCharacters)
{
    EXPECT_EQ(printable(QString::fromUtf16(u"a\u001B\u007F\u0085\u00A0\u044F")),
              QString::fromUtf16(u"a\\x1B\\x7F\\x85\u00A0\u044F"));
}

TEST(TextEncodingTest, Utf8OnlyWhenEveryLetterIsValidToTheLastByte)
{
    // A Windows-1251 text whose only letter ends it (Р is 0xD0, which starts
    // a two-byte UTF-8 sequence) is not cut-off UTF-8.
    const QByteArray longAscii(200000, 'a');
    const std::pair<QByteArray, TextEncoding> cases[] = {
        {"plain", TextEncoding::Windows1251},
        {"\xEF\xBB\xBFplain", TextEncoding::Utf8},
        {"\xD0\xB4\xD0\xBE\xD0\xBC", TextEncoding::Utf8},
        {"abc \xD0", TextEncoding::Windows1251},
        {longAscii + "\xD0", TextEncoding::Windows1251},
        {longAscii + "\xD0\xB4" + longAscii + "\xD0\xB4", TextEncoding::Utf8},
        {longAscii + "\xD0\xB4" + longAscii + "\xE4", TextEncoding::Windows1251},
        {"\xE4\xEE\xEC", TextEncoding::Windows1251},
    };
    for (const auto& [text, expected] : cases) {
        QByteArray bytes = text;
        EXPECT_EQ(takeEncoding(bytes), expected) << text.left(20).toHex().toStdString();
    }
}
