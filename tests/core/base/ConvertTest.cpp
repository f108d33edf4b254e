#include "core/base/CodePage1251.h"
#include "core/base/Convert.h"
#include "core/base/Errors.h"

#include <gtest/gtest.h>

using namespace vexlon;

TEST(ConvertTest, DecimalPrefixedHexadecimalAndHexColumns)
{
    EXPECT_EQ(tryStrToInt("0"), 0);
    EXPECT_EQ(tryStrToInt("  42"), 42);
    EXPECT_EQ(tryStrToInt("-17"), -17);
    EXPECT_EQ(tryStrToInt("+5"), 5);
    EXPECT_EQ(tryStrToInt("$1F"), 31);
    EXPECT_EQ(tryStrToInt("0x10"), 16);
    EXPECT_EQ(tryStrToInt("2147483647"), 2147483647);
    EXPECT_EQ(tryStrToInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(tryStrToInt("$FFFFFFFF"), -1);
    for (const char* bad : {"", " ", "12 ", "1a", "2147483648", "$", "$100000000", "--1", "1.0"})
        EXPECT_FALSE(tryStrToInt(bad).has_value()) << bad;

    // The hexadecimal columns take hexadecimal digits only.
    EXPECT_EQ(hexToInt("0A"), 10);
    EXPECT_EQ(hexToInt("1"), 1);
    EXPECT_EQ(hexToInt("ff"), 255);
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
    // Latin and Cyrillic, Ё included, lower-case; digits and signs stay.
    EXPECT_EQ(cp1251::toLower(QByteArray("AbC1-\xC0\xDF\xA8", 8)), QByteArray("abc1-\xE0\xFF\xB8", 8));
    // Words sort lower case first, and by locale.
    EXPECT_LT(cp1251::compare("a", "A"), 0);
    EXPECT_LT(cp1251::compare("A", "b"), 0);
    EXPECT_LT(cp1251::compare("abc", "abd"), 0);
    EXPECT_EQ(cp1251::compare("same", "same"), 0);
    // Cyrillic letters sort among themselves by the alphabet, not by byte:
    // Ё (0xA8) comes between Е and Ж.
    EXPECT_LT(cp1251::compare("\xC5", "\xA8"), 0);
    EXPECT_LT(cp1251::compare("\xA8", "\xC6"), 0);
}

// Text from a file is shown in messages with its control characters (C0,
// DEL and C1) escaped, and every other letter as it is.
TEST(ErrorsTest, MessagesEscapeControlCharacters)
{
    EXPECT_EQ(printable(QString::fromUtf16(u"a\u001B\u007F\u0085\u00A0\u044F")),
              QString::fromUtf16(u"a\\x1B\\x7F\\x85\u00A0\u044F"));
}
