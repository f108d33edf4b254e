#include "core/base/Errors.h"
#include "core/base/Settings.h"

#include "support/CoreFixture.h"

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
    "[BLACKLIST CLEAN]\r\nfalse\r\n[LANGUAGE CLEAN]\r\nfalse\r\n0\r\n[LANGUAGE COUNT CLEAN]\r\n2\r\n"
    "[PHONE BACKUPS]\r\n10\r\n";

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

// The sample file with one value line replaced.
QByteArray sampleWith(int line, const QByteArray& text)
{
    QByteArrayList values = sampleValues();
    values[line] = text;
    return valueFile(values);
}

} // namespace

class SettingsTest : public CoreFixture {};

// On reading, labels and comments may stand anywhere after line three; the
// eighteenth value (the phone backups kept) may be missing, and a nineteenth
// is ignored.
TEST_F(SettingsTest, DefaultsAreWrittenExactlyAndValuesMapByPositionNotByLabel)
{
    state.settings.UsersDictionarySize = 1; // anything: defaults must replace it
    SetDefaultSettings(state.settings);
    ASSERT_TRUE(SaveSettings(state.settings, file("Vexlon.ini")));
    EXPECT_EQ(read("Vexlon.ini"), QByteArray(kDefaultFile));

    QByteArrayList values = sampleValues();
    values << "whatever";
    QByteArray content = "Vexlon Settings File\r\nx\r\nVEXLON2011TST\r\n// a comment\r\n[LABEL]\r\n";
    for (int i = 0; i < values.size(); ++i)
        content += values[i] + (i % 3 == 2 ? "\r\n[EXTRA]\r\n//note\r\n" : "\r\n");
    write("Vexlon.ini", content);
    TSettings s;
    ASSERT_TRUE(LoadSettings(file("Vexlon.ini"), s));
    TSettings expected;
    expected.VersionTag = kVersionTag;
    expected.BackupCopy = expected.ReloadPhone = expected.StatisticOn = false;
    expected.WhiteListOn = true;
    expected.UsersDictionaryModified = 1;
    expected.UsersDictionarySize = 7000;
    expected.Language = expected.iTAPModification = expected.StatisticType = 1;
    expected.AssociateFiles = true;
    expected.SymbolicClean = expected.NumericClean = expected.IntelectClean = false;
    expected.BlackListClean = expected.LanguageClean = true;
    expected.LanguageCleanIndex = 3;
    expected.MinWordLength = 4;
    EXPECT_EQ(s, expected);

    // The backups kept: read when in range, the default otherwise.
    for (const auto& [text, kept] : {std::pair("25", 25), {"1000", 1000}, {"0", 10}, {"1001", 10}, {"x", 10}}) {
        QByteArrayList withCount = sampleValues();
        withCount << text << "19th";
        write("Vexlon.ini", valueFile(withCount));
        TSettings k;
        ASSERT_TRUE(LoadSettings(file("Vexlon.ini"), k)) << text;
        EXPECT_EQ(k.PhoneBackupCount, kept) << text;
    }
    s.PhoneBackupCount = 7;

    // Written back and read again: the same record.
    ASSERT_TRUE(SaveSettings(s, file("again.ini")));
    TSettings t;
    ASSERT_TRUE(LoadSettings(file("again.ini"), t));
    EXPECT_EQ(s, t);

    // Only the exact text "true" is true.
    for (const char* text : {"True", "1", "TRUE", " true", "true "}) {
        write("Vexlon.ini", sampleWith(3, text)); // WhiteListOn
        ASSERT_TRUE(LoadSettings(file("Vexlon.ini"), s)) << text;
        EXPECT_FALSE(s.WhiteListOn) << text;
    }
}

TEST_F(SettingsTest, DamagedFilesAreRefusedAndLeaveTheSettingsAlone)
{
    QByteArrayList sixteen = sampleValues();
    sixteen.removeLast();
    const std::vector<std::pair<const char*, QByteArray>> cases {
        {"sixteen values", valueFile(sixteen)},
        {"first line with a trailing blank", valueFile(sampleValues(), "Vexlon Settings File ")},
        {"third line in another case", valueFile(sampleValues(), "Vexlon Settings File", "vexlon2011tst")},
        {"a number that is not one", sampleWith(5, "51OO")},
        {"an empty value line", sampleWith(4, "")},
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

// A value edited by hand to a number its field cannot mean gives that field
// its default, the others read as written; the bounds are accepted.
TEST_F(SettingsTest, OutOfRangeNumbersFallBackToTheirDefaultsOneFieldAtATime)
{
    const TSettings defaults;
    write("sample.ini", valueFile(sampleValues()));
    TSettings sample;
    ASSERT_TRUE(LoadSettings(file("sample.ini"), sample));
    // Value line, text, field, what the field must read as.
    const auto check = [&]<class T>(int line, const QByteArray& text, T TSettings::*field, int32_t expected) {
        SCOPED_TRACE(text.toStdString() + " on value line " + std::to_string(line));
        write("Vexlon.ini", sampleWith(line, text));
        TSettings s;
        s.UsersDictionarySize = 1234; // a load must set every field
        s.MinWordLength = 9;
        ASSERT_TRUE(LoadSettings(file("Vexlon.ini"), s));
        TSettings want = sample;
        want.*field = static_cast<T>(expected);
        EXPECT_EQ(s, want);
    };
    for (const char* bad : {"-1", "26", "65536", "-2147483648"})
        check(5, bad, &TSettings::UsersDictionarySize, defaults.UsersDictionarySize);
    check(5, "27", &TSettings::UsersDictionarySize, 27);
    check(5, "65535", &TSettings::UsersDictionarySize, 65535);
    for (const char* bad : {"2", "-1"}) {
        check(4, bad, &TSettings::UsersDictionaryModified, defaults.UsersDictionaryModified);
        check(7, bad, &TSettings::iTAPModification, defaults.iTAPModification);
        check(8, bad, &TSettings::StatisticType, defaults.StatisticType);
    }
    check(6, "-1", &TSettings::Language, defaults.Language);
    check(6, "40", &TSettings::Language, 40); // the pack list decides
    for (const char* bad : {"256", "-1"})
        check(15, bad, &TSettings::LanguageCleanIndex, defaults.LanguageCleanIndex);
    check(15, "255", &TSettings::LanguageCleanIndex, 255);
    for (const char* bad : {"260", "-254", "1", "0"})
        check(16, bad, &TSettings::MinWordLength, defaults.MinWordLength);
    check(16, "255", &TSettings::MinWordLength, 255);

    // Several damaged fields at once: each takes its own default.
    QByteArrayList values = sampleValues();
    values[5] = "-5";
    values[8] = "7";
    values[16] = "300";
    write("Vexlon.ini", valueFile(values));
    TSettings s;
    ASSERT_TRUE(LoadSettings(file("Vexlon.ini"), s));
    EXPECT_EQ(s.UsersDictionarySize, 5100);
    EXPECT_EQ(s.StatisticType, 0);
    EXPECT_EQ(s.MinWordLength, 2);
    EXPECT_EQ(s.UsersDictionaryModified, 1); // read as written
    EXPECT_EQ(s.LanguageCleanIndex, 3);
}
