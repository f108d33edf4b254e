// The UI language packs, the empty word lists and the other files put
// beside the program.
#include "MkData.h"

#include "app/base/Ansi.h"
#include "app/base/LanguagePacks.h"
#include "app/base/TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace vexlon::mkdata {
namespace {

const QString kBin = QStringLiteral(VEXLON_BIN_DIR);
const QString kStage = QStringLiteral(VEXLON_DATA_STAGE_DIR);
const QString kSources = QStringLiteral(VEXLON_DATA_SOURCE_DIR);

bool allLinesEndCrLf(const QByteArray& bytes)
{
    if (!bytes.endsWith("\r\n"))
        return false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            return false;
        if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))
            return false;
    }
    return true;
}

bool hasCyrillic(const QString& text)
{
    for (const QChar c : text) {
        if (c.script() == QChar::Script_Cyrillic)
            return true;
    }
    return false;
}

TEST(mkdata_Packs, BuiltPacksLoadCompletely)
{
    TiTAPLanguages list;
    ASSERT_TRUE(LoadLanguageList(kBin, list));
    ASSERT_EQ(list.Count, 2);
    EXPECT_EQ(list.Items[0].Name, QStringLiteral("English"));
    EXPECT_TRUE(hasCyrillic(list.Items[1].Name)) << list.Items[1].Name.toStdString();

    for (int index = 0; index < list.Count; ++index) {
        SCOPED_TRACE(list.Items[index].FileName.toStdString());
        const QByteArray raw = readWholeFile(list.Items[index].FileName);
        EXPECT_TRUE(allLinesEndCrLf(raw));
        UiTexts texts;
        ASSERT_TRUE(LoadLanguagePack(list, index, texts));
        EXPECT_EQ(texts.ui.size(), 100);
        EXPECT_EQ(texts.messages.size(), 31);
        EXPECT_EQ(texts.stat.size(), 17);
        for (const QStringList* table : {&texts.ui, &texts.messages, &texts.stat}) {
            for (int n = 0; n < table->size(); ++n) {
                EXPECT_FALSE(table->at(n).trimmed().isEmpty()) << n;
                EXPECT_FALSE(table->at(n).startsWith(QLatin1String("//"))) << n;
            }
        }
        // The status lines are put together from these entries and the
        // numbers: their blanks must survive editing and conversion.
        EXPECT_TRUE(texts.UI(30).endsWith(QLatin1String("  "))) << texts.UI(30).toStdString();
        EXPECT_TRUE(texts.UI(31).endsWith(QLatin1String("  "))) << texts.UI(31).toStdString();
        EXPECT_TRUE(texts.MESSAGES(0).endsWith(QLatin1Char(' '))) << texts.MESSAGES(0).toStdString();
        EXPECT_TRUE(texts.MESSAGES(1).endsWith(QLatin1Char(' '))) << texts.MESSAGES(1).toStdString();
        EXPECT_FALSE(texts.MESSAGES(2).endsWith(QLatin1Char(' ')));
        EXPECT_TRUE(texts.UI(33).startsWith(QLatin1Char(' ')) && texts.UI(33).endsWith(QLatin1Char(' ')));
        if (index == 1) {
            EXPECT_TRUE(hasCyrillic(texts.UI(0)));
            EXPECT_TRUE(hasCyrillic(texts.MESSAGES(26)));
            EXPECT_TRUE(hasCyrillic(texts.STAT(16)));
        }
    }

    // The English pack carries the built-in captions, in order.
    UiTexts english;
    ASSERT_TRUE(LoadLanguagePack(list, 0, english));
    EXPECT_EQ(english.UI(0), QStringLiteral("New Dictionary"));
    EXPECT_EQ(english.UI(30), QStringLiteral("Dictionary Status:  "));
    EXPECT_EQ(english.UI(57), QStringLiteral("Vexlon Black List "));
    EXPECT_EQ(english.UI(69), QStringLiteral("Vexlon White List"));
    EXPECT_EQ(english.UI(84), QStringLiteral("Vexlon Statistic"));
    EXPECT_EQ(english.UI(99), QStringLiteral("Cancel"));
}

QByteArrayList englishPackLines()
{
    return splitLines(toAnsiCrLf(readSourceLines(kSources + QStringLiteral("/languages/English.lng")), QStringLiteral("English.lng")));
}

// The message of the SourceError checkLanguagePack raises, or "".
std::string packRefusal(const QByteArrayList& lines)
{
    try {
        checkLanguagePack(lines, QStringLiteral("pack.lng"));
    } catch (const SourceError& e) {
        return e.what();
    }
    return {};
}

qsizetype indexOfLine(const QByteArrayList& lines, const QByteArray& line)
{
    return lines.indexOf(line);
}

TEST(mkdata_Packs, CheckRefusesBrokenPacks)
{
    const QByteArrayList good = englishPackLines();
    const PackCounts counts = checkLanguagePack(good, QStringLiteral("English.lng"));
    EXPECT_EQ(counts.ui, 100);
    EXPECT_EQ(counts.messages, 31);
    EXPECT_EQ(counts.stat, 17);

    // Comment lines between entries change nothing.
    QByteArrayList commented = good;
    commented.insert(8, "// a comment among the entries");
    EXPECT_EQ(packRefusal(commented), "");

    // A count that does not match the entries shifts the "MESSAGES" line.
    QByteArrayList wrongCount = good;
    wrongCount[5] = "101";
    EXPECT_NE(packRefusal(wrongCount), "");
    QByteArrayList missingEntry = good;
    missingEntry.removeAt(indexOfLine(good, "About Program"));
    EXPECT_NE(packRefusal(missingEntry).find("MESSAGES"), std::string::npos);

    // Fewer entries than the program uses.
    QByteArrayList shortStat = good;
    const qsizetype stat = indexOfLine(good, "STAT");
    ASSERT_GT(stat, 0);
    shortStat[stat + 1] = "16";
    EXPECT_NE(packRefusal(shortStat).find("17"), std::string::npos);

    // "MESSAGES" on the free line instead of the line after it.
    QByteArrayList misplaced = good;
    const qsizetype messages = indexOfLine(good, "MESSAGES");
    misplaced[messages - 1] = "MESSAGES";
    misplaced[messages] = "free text";
    EXPECT_NE(packRefusal(misplaced), "");

    // An empty entry.
    QByteArrayList empty = good;
    empty[indexOfLine(good, "Open Dictionary")] = "";
    EXPECT_NE(packRefusal(empty).find("empty"), std::string::npos);

    // A pack cut short, and text after the last section.
    EXPECT_NE(packRefusal(good.mid(0, good.size() - 3)), "");
    QByteArrayList trailing = good;
    trailing.append("stray entry");
    EXPECT_NE(packRefusal(trailing), "");

    // A character the code page lacks is refused with its line.
    try {
        toAnsiCrLf({QStringLiteral("fine"), QStringLiteral("Größe")}, QStringLiteral("pack.lng"));
        ADD_FAILURE() << "no refusal";
    } catch (const SourceError& e) {
        EXPECT_NE(std::string(e.what()).find("pack.lng:2:"), std::string::npos) << e.what();
    }
}

TEST(mkdata_Packs, CheckRefusesBrokenLanguageLists)
{
    const QByteArrayList good {"Vexlon LANGUAGELIST FILE", "free", "VEXLON2011TST", "2", "English", "English.lng", "Other", "Other.lng"};
    EXPECT_EQ(checkLanguageList(good, QStringLiteral("Languages.ini")), (QStringList {QStringLiteral("English.lng"), QStringLiteral("Other.lng")}));

    auto refused = [](const QByteArrayList& lines) {
        try {
            checkLanguageList(lines, QStringLiteral("Languages.ini"));
        } catch (const SourceError&) {
            return true;
        }
        return false;
    };
    QByteArrayList l = good;
    l[0] = "Vexlon LANGUAGELIST FILE ";
    EXPECT_TRUE(refused(l));
    l = good;
    l[2] = "vexlon2011tst";
    EXPECT_TRUE(refused(l));
    l = good;
    l[3] = "3";
    EXPECT_TRUE(refused(l));
    l = good;
    l[3] = "1"; // the second pair is left over
    EXPECT_TRUE(refused(l));
    l = good;
    l[7] = "English.lng";
    EXPECT_TRUE(refused(l));
    l = good;
    l[7] = "../Other.lng";
    EXPECT_TRUE(refused(l));
}

TEST(mkdata_Files, EmptyListsHoldTheirFourHeaderLines)
{
    const QRegularExpression stamp(QStringLiteral("^LastUpdate;\\S.* at \\S.*$"));
    struct Expected {
        const char* file;
        const char* type;
    };
    for (const Expected& e : {Expected {"WhiteList.csv", "List Type;Black/White list"},
                              Expected {"BlackList.csv", "List Type;Black/White list"},
                              Expected {"Statistic.csv", "List Type;Statistic list"}}) {
        SCOPED_TRACE(e.file);
        // Beside the program (the user may have filled it since) and as installed.
        EXPECT_TRUE(QFileInfo(kBin + QStringLiteral("/Lists/") + QLatin1String(e.file)).isFile());
        const QByteArray bytes = readWholeFile(kStage + QStringLiteral("/Lists/") + QLatin1String(e.file));
        EXPECT_TRUE(allLinesEndCrLf(bytes));
        const QByteArrayList lines = splitLines(bytes);
        ASSERT_EQ(lines.size(), 4);
        EXPECT_EQ(lines[0], "Vexlon list file");
        EXPECT_EQ(lines[1], e.type);
        EXPECT_TRUE(stamp.match(ansi::toUnicode(lines[2])).hasMatch()) << lines[2].constData();
        EXPECT_EQ(lines[3], "Word Amount;0");
    }
    EXPECT_EQ(emptyListFile(ListKind::Statistic, QStringLiteral("01.02.2011 at 10:11:12")),
              QByteArray("Vexlon list file\r\nList Type;Statistic list\r\nLastUpdate;01.02.2011 at 10:11:12\r\nWord Amount;0\r\n"));
}

TEST(mkdata_Files, TrailerReadMeAndTransferFolder)
{
    EXPECT_EQ(readWholeFile(kStage + QStringLiteral("/phConfig.cfg")), QByteArray(3, '\0'));
    EXPECT_TRUE(QFileInfo(kBin + QStringLiteral("/phConfig.cfg")).isFile());
    EXPECT_TRUE(QFileInfo(kBin + QStringLiteral("/TempFile")).isDir());

    const QByteArray readMe = readWholeFile(kBin + QStringLiteral("/ReadMe.txt"));
    EXPECT_TRUE(allLinesEndCrLf(readMe));
    const QString text = ansi::toUnicode(readMe);
    EXPECT_EQ(text, readSourceLines(kSources + QStringLiteral("/ReadMe.txt")).join(QLatin1String("\r\n")) + QLatin1String("\r\n"));
    for (const char* mention : {"F2", "F8", "Ctrl+O", "Alt+S", "60-vexlon-p2k.rules"})
        EXPECT_TRUE(text.contains(QLatin1String(mention))) << mention;
    // The settings file is written by the program itself, never shipped.
    EXPECT_FALSE(QFileInfo::exists(kStage + QStringLiteral("/Vexlon.ini")));
}

TEST(mkdata_Files, SourceLinesAcceptCrLfAndRefuseBadUtf8)
{
    EXPECT_EQ(sourceLines("\xEF\xBB\xBF" "a\r\nb \nc", QStringLiteral("s")), (QStringList {QStringLiteral("a"), QStringLiteral("b "), QStringLiteral("c")}));
    EXPECT_EQ(sourceLines("", QStringLiteral("s")), QStringList());
    EXPECT_THROW(sourceLines("ok\n\xC3(", QStringLiteral("s")), SourceError);
}

} // namespace
} // namespace vexlon::mkdata
