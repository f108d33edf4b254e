#include "core/base/Errors.h"
#include "core/base/Settings.h"

#include "core/dictionary/CoreFixture.h"

using namespace vexlon;
using vexlon::test::CoreFixture;

namespace {

// The file exactly as the program writes its defaults.
const char* const kDefaultFile =
    "Vexlon Settings File\r\n"
    "// this is not editable file. Editing of this file may be cause of errors.\r\n"
    "VEXLON2011TST\r\n"
    "[MAIN SETTINGS]\r\n[BACKUP COPY]\r\ntrue\r\n[RELOAD PHONE]\r\ntrue\r\n[STATISTIC ON]\r\ntrue\r\n"
    "[WHITE LIST ON]\r\nfalse\r\n[USERS DICTIONARY]\r\n0\r\n5100\r\n[LANGUAGE]\r\n0\r\n"
    "[iTAP MODIFICATION]\r\n0\r\n[STATISTIC TYPE]\r\n0\r\n[ASSOCIATE FILES]\r\nfalse\r\n"
    "[CLEAN SETTINGS]\r\n[SYMBOLIC CLEAN]\r\ntrue\r\n[NUMERIC CLEAN]\r\ntrue\r\n[INTELECT CLEAN]\r\ntrue\r\n"
    "[BLACKLIST CLEAN]\r\nfalse\r\n[LANGUAGE CLEAN]\r\nfalse\r\n0\r\n[LANGUAGE COUNT CLEAN]\r\n2\r\n";

// Seventeen value lines in file order, with a header.
QByteArray valueFile(const QByteArrayList& values, const QByteArray& first = "Vexlon Settings File",
                     const QByteArray& third = "VEXLON2011TST")
{
    QByteArray out = first + "\r\nanything\r\n" + third + "\r\n";
    for (const QByteArray& v : values)
        out += v + "\r\n";
    return out;
}

QByteArrayList sampleValues()
{
    // BackupCopy..MinWordLength in file order, none of them the default.
    return {"false", "false", "false", "true", "1", "7000", "1", "1", "1", "true",
            "false", "false", "false", "true", "true", "3", "4"};
}

} // namespace

class SettingsTest : public CoreFixture {};

TEST_F(SettingsTest, DefaultsAreWrittenAsTheThirtySevenLines)
{
    TSettings s;
    s.UsersDictionarySize = 1; // anything: defaults must replace it
    SetDefaultSettings(s);
    ASSERT_TRUE(SaveSettings(s, file("Vexlon.ini")));
    EXPECT_EQ(read("Vexlon.ini"), QByteArray(kDefaultFile));
}

TEST_F(SettingsTest, ValuesMapByPositionNotByLabel)
{
    write("Vexlon.ini", valueFile(sampleValues()));
    TSettings s;
    ASSERT_TRUE(LoadSettings(file("Vexlon.ini"), s));
    EXPECT_FALSE(s.BackupCopy);
    EXPECT_FALSE(s.ReloadPhone);
    EXPECT_FALSE(s.StatisticOn);
    EXPECT_TRUE(s.WhiteListOn);
    EXPECT_EQ(s.UsersDictionaryModified, 1);
    EXPECT_EQ(s.UsersDictionarySize, 7000);
    EXPECT_EQ(s.Language, 1);
    EXPECT_EQ(s.iTAPModification, 1);
    EXPECT_EQ(s.StatisticType, 1);
    EXPECT_TRUE(s.AssociateFiles);
    EXPECT_FALSE(s.SymbolicClean);
    EXPECT_FALSE(s.NumericClean);
    EXPECT_FALSE(s.IntelectClean);
    EXPECT_TRUE(s.BlackListClean);
    EXPECT_TRUE(s.LanguageClean);
    EXPECT_EQ(s.LanguageCleanIndex, 3);
    EXPECT_EQ(s.MinWordLength, 4);

    // Written back and read again: the same record.
    ASSERT_TRUE(SaveSettings(s, file("again.ini")));
    TSettings t;
    ASSERT_TRUE(LoadSettings(file("again.ini"), t));
    EXPECT_EQ(s, t);
}

TEST_F(SettingsTest, LabelsAndCommentsAnywhereAfterLineThreeAreSkipped)
{
    QByteArray content = "Vexlon Settings File\r\nx\r\nVEXLON2011TST\r\n// a comment\r\n[LABEL]\r\n";
    int i = 0;
    for (const QByteArray& v : sampleValues()) {
        content += v + "\r\n";
        if (++i % 3 == 0)
            content += "[EXTRA]\r\n//note\r\n";
    }
    write("Vexlon.ini", content);
    TSettings fromOdd;
    ASSERT_TRUE(LoadSettings(file("Vexlon.ini"), fromOdd));
    write("plain.ini", valueFile(sampleValues()));
    TSettings fromPlain;
    ASSERT_TRUE(LoadSettings(file("plain.ini"), fromPlain));
    EXPECT_EQ(fromOdd, fromPlain);
}

TEST_F(SettingsTest, OnlyTheExactTextTrueIsTrue)
{
    for (const char* text : {"True", "1", "TRUE", " true", "true "}) {
        QByteArrayList values = sampleValues();
        values[0] = text; // BackupCopy
        write("Vexlon.ini", valueFile(values));
        TSettings s;
        ASSERT_TRUE(LoadSettings(file("Vexlon.ini"), s)) << text;
        EXPECT_FALSE(s.BackupCopy) << text;
    }
}

TEST_F(SettingsTest, ByteFieldsKeepTheLowEightBits)
{
    QByteArrayList values = sampleValues();
    values[15] = "258";
    values[16] = "258";
    write("Vexlon.ini", valueFile(values));
    TSettings s;
    ASSERT_TRUE(LoadSettings(file("Vexlon.ini"), s));
    EXPECT_EQ(s.LanguageCleanIndex, 2);
    EXPECT_EQ(s.MinWordLength, 2);
}

TEST_F(SettingsTest, DamagedFilesAreRefusedAndLeaveTheSettingsAlone)
{
    QByteArrayList sixteen = sampleValues();
    sixteen.removeLast();
    QByteArrayList notNumber = sampleValues();
    notNumber[5] = "51OO";
    QByteArrayList empty = sampleValues();
    empty[4] = "";
    const std::vector<std::pair<const char*, QByteArray>> cases {
        {"sixteen values", valueFile(sixteen)},
        {"first line with a trailing blank", valueFile(sampleValues(), "Vexlon Settings File ")},
        {"third line in another case", valueFile(sampleValues(), "Vexlon Settings File", "vexlon2011tst")},
        {"a number that is not one", valueFile(notNumber)},
        {"an empty value line", valueFile(empty)},
        {"empty file", QByteArray()},
    };
    for (const auto& [what, content] : cases) {
        write("Vexlon.ini", content);
        TSettings s;
        s.UsersDictionarySize = 1234;
        EXPECT_FALSE(LoadSettings(file("Vexlon.ini"), s)) << what;
        EXPECT_EQ(s.UsersDictionarySize, 1234) << what;
    }
    TSettings s;
    EXPECT_FALSE(LoadSettings(file("missing.ini"), s));
}

TEST_F(SettingsTest, AnEighteenthValueIsIgnored)
{
    QByteArrayList values = sampleValues();
    values << "whatever";
    write("Vexlon.ini", valueFile(values));
    TSettings s;
    ASSERT_TRUE(LoadSettings(file("Vexlon.ini"), s));
    EXPECT_EQ(s.MinWordLength, 4);
}
