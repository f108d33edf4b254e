// The UI language packs, the empty word lists and the other files put
// beside the program.
#include "MkData.h"

#include "core/base/CodePage1251.h"
#include "core/base/LanguagePacks.h"
#include "core/base/TextFile.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace vexlon::mkdata {
namespace {

const QString kBin = QStringLiteral(VEXLON_BIN_DIR);
const QString kStage = QStringLiteral(VEXLON_DATA_STAGE_DIR);
const QString kSources = QStringLiteral(VEXLON_DATA_SOURCE_DIR);

// A text file as installed: its source's lines in the code page, each
// ended by CR LF.
void expectSourceInCodePage(const QString& installed, const QString& source)
{
    EXPECT_EQ(cp1251::toUnicode(readWholeFile(installed)), readSourceLines(source).join(QLatin1String("\r\n")) + QLatin1String("\r\n"))
        << installed.toStdString();
}

TEST(mkdata_Packs, BuiltPacksAreTheirSourcesLoadCompletelyAndAreChecked)
{
    for (const char* name : {"Languages.ini", "English.lng", "Russian.lng"})
        expectSourceInCodePage(kStage + QStringLiteral("/Languages/") + QLatin1String(name),
                               kSources + QStringLiteral("/languages/") + QLatin1String(name));
    TiTAPLanguages list;
    ASSERT_TRUE(LoadLanguageList(kBin, list));
    ASSERT_EQ(list.Count, 2);
    EXPECT_EQ(list.Items[0].Name, QStringLiteral("English"));
    EXPECT_EQ(list.Items[1].Name, QStringLiteral(u"Русский"));
    for (int index = 0; index < list.Count; ++index) {
        SCOPED_TRACE(list.Items[index].FileName.toStdString());
        UiTexts texts;
        ASSERT_TRUE(LoadLanguagePack(list, index, texts));
        EXPECT_EQ(texts.ui.size(), 100);
        EXPECT_EQ(texts.messages.size(), 31);
        EXPECT_EQ(texts.stat.size(), 17);
        for (const QStringList* table : {&texts.ui, &texts.messages, &texts.stat}) {
            for (int n = 0; n < table->size(); ++n)
                EXPECT_FALSE(table->at(n).trimmed().isEmpty() || table->at(n).startsWith(QLatin1String("//"))) << n;
        }
        // The status lines are put together from these entries and the
        // numbers: their blanks must survive editing and conversion.
        EXPECT_TRUE(texts.UI(30).endsWith(QLatin1String("  ")) && texts.UI(31).endsWith(QLatin1String("  ")));
        EXPECT_TRUE(texts.MESSAGES(0).endsWith(QLatin1Char(' ')) && texts.MESSAGES(1).endsWith(QLatin1Char(' ')));
        EXPECT_TRUE(texts.UI(33).startsWith(QLatin1Char(' ')) && texts.UI(33).endsWith(QLatin1Char(' ')));
    }

    // The check refuses a pack the program would misread.
    QByteArrayList lines = splitLines(
        toAnsiCrLf(readSourceLines(kSources + QStringLiteral("/languages/English.lng")), QStringLiteral("English.lng")));
    EXPECT_NO_THROW(checkLanguagePack(lines, QStringLiteral("English.lng")));
    lines[lines.indexOf("STAT") + 1] = "16"; // fewer entries than the program uses
    EXPECT_THROW(checkLanguagePack(lines, QStringLiteral("English.lng")), SourceError);
}

TEST(mkdata_Files, EmptyListsTrailerReadMeAndTransferFolder)
{
    const QRegularExpression stamp(QStringLiteral("^LastUpdate;\\S.* at \\S.*\r$"));
    for (const auto& [name, type] : {std::pair {"WhiteList.csv", "List Type;Black/White list\r"},
                                     std::pair {"BlackList.csv", "List Type;Black/White list\r"},
                                     std::pair {"Statistic.csv", "List Type;Statistic list\r"}}) {
        SCOPED_TRACE(name);
        // Beside the program (the user may have filled it since) and as installed.
        EXPECT_TRUE(QFileInfo(kBin + QStringLiteral("/Lists/") + QLatin1String(name)).isFile());
        const QByteArrayList lines = readWholeFile(kStage + QStringLiteral("/Lists/") + QLatin1String(name)).split('\n');
        ASSERT_EQ(lines.size(), 5);
        EXPECT_EQ(lines[0], "Vexlon list file\r");
        EXPECT_EQ(lines[1], type);
        EXPECT_TRUE(stamp.match(cp1251::toUnicode(lines[2])).hasMatch()) << lines[2].constData();
        EXPECT_EQ(lines[3], "Word Amount;0\r");
        EXPECT_EQ(lines[4], "");
    }
    EXPECT_EQ(readWholeFile(kStage + QStringLiteral("/phConfig.cfg")), QByteArray(3, '\0'));
    EXPECT_TRUE(QFileInfo(kBin + QStringLiteral("/phConfig.cfg")).isFile());
    EXPECT_TRUE(QFileInfo(kBin + QStringLiteral("/TempFile")).isDir());
    expectSourceInCodePage(kBin + QStringLiteral("/ReadMe.txt"), kSources + QStringLiteral("/ReadMe.txt"));
    // The settings file is written by the program itself, never shipped.
    EXPECT_FALSE(QFileInfo::exists(kStage + QStringLiteral("/Vexlon.ini")));
}

} // namespace
} // namespace vexlon::mkdata
