// The UI language packs, the empty word lists and the other files put
// beside the program.
#include "MkData.h"

#include "core/base/CodePage1251.h"
#include "core/base/LanguagePacks.h"
#include "core/base/TextFile.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <functional>
#include <gtest/gtest.h>

namespace vexlon::mkdata {
namespace {

const QString kBin = QStringLiteral(VEXLON_BIN_DIR);
const QString kStage = QStringLiteral(VEXLON_DATA_STAGE_DIR);
const QString kSources = QStringLiteral(VEXLON_DATA_SOURCE_DIR);

bool allLinesEndCrLf(const QByteArray& bytes)
{
    return bytes.endsWith("\r\n") && bytes.count('\n') == bytes.count("\r\n") && bytes.count('\r') == bytes.count('\n');
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
        EXPECT_TRUE(allLinesEndCrLf(readWholeFile(list.Items[index].FileName)));
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
        if (index == 1) {
            EXPECT_TRUE(hasCyrillic(texts.UI(0)) && hasCyrillic(texts.MESSAGES(26)) && hasCyrillic(texts.STAT(16)));
        }
    }
}

TEST(mkdata_Packs, CheckRefusesBrokenPacks)
{
    const QByteArrayList good = splitLines(
        toAnsiCrLf(readSourceLines(kSources + QStringLiteral("/languages/English.lng")), QStringLiteral("English.lng")));
    const PackCounts counts = checkLanguagePack(good, QStringLiteral("English.lng"));
    EXPECT_EQ(counts.ui, 100);
    EXPECT_EQ(counts.messages, 31);
    EXPECT_EQ(counts.stat, 17);
    const qsizetype messages = good.indexOf("MESSAGES");
    const qsizetype stat = good.indexOf("STAT");
    ASSERT_GT(messages, 0);
    ASSERT_GT(stat, 0);

    // Each change to the good pack with a piece of the message it must be
    // refused with ("" for any refusal; nullptr: accepted).
    using Change = std::function<void(QByteArrayList&)>;
    const std::pair<Change, const char*> changes[] = {
        {[](QByteArrayList& l) { l.insert(8, "// a comment among the entries"); }, nullptr},
        {[](QByteArrayList& l) { l[5] = "101"; }, ""}, // the count shifts the "MESSAGES" line
        {[&](QByteArrayList& l) { l.removeAt(good.indexOf("About Program")); }, "MESSAGES"},
        {[&](QByteArrayList& l) { l[stat + 1] = "16"; }, "17"}, // fewer entries than the program uses
        {[&](QByteArrayList& l) { l[messages - 1] = "MESSAGES"; l[messages] = "free text"; }, ""},
        {[&](QByteArrayList& l) { l[good.indexOf("Open Dictionary")] = ""; }, "empty"},
        {[](QByteArrayList& l) { l.resize(l.size() - 3); }, ""},
        {[](QByteArrayList& l) { l.append("stray entry"); }, ""},
    };
    for (const auto& [change, message] : changes) {
        QByteArrayList lines = good;
        change(lines);
        try {
            checkLanguagePack(lines, QStringLiteral("pack.lng"));
            EXPECT_EQ(message, nullptr) << "accepted a pack that should be refused with: " << message;
        } catch (const SourceError& e) {
            ASSERT_NE(message, nullptr) << e.what();
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
    }

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
    // Line index and replacement: a blank after the tag, a lower-case key,
    // counts that do not match the pairs, a pack named twice, a path.
    const std::pair<int, QByteArray> changes[] = {{0, "Vexlon LANGUAGELIST FILE "}, {2, "vexlon2011tst"}, {3, "3"},
                                                  {3, "1"}, {7, "English.lng"}, {7, "../Other.lng"}};
    for (const auto& [line, text] : changes) {
        QByteArrayList lines = good;
        lines[line] = text;
        EXPECT_THROW(checkLanguageList(lines, QStringLiteral("Languages.ini")), SourceError) << text.constData();
    }
}

TEST(mkdata_Files, EmptyListsTrailerReadMeAndTransferFolder)
{
    const QRegularExpression stamp(QStringLiteral("^LastUpdate;\\S.* at \\S.*$"));
    for (const auto& [name, type] : {std::pair {"WhiteList.csv", "List Type;Black/White list"},
                                     std::pair {"BlackList.csv", "List Type;Black/White list"},
                                     std::pair {"Statistic.csv", "List Type;Statistic list"}}) {
        SCOPED_TRACE(name);
        // Beside the program (the user may have filled it since) and as installed.
        EXPECT_TRUE(QFileInfo(kBin + QStringLiteral("/Lists/") + QLatin1String(name)).isFile());
        const QByteArray bytes = readWholeFile(kStage + QStringLiteral("/Lists/") + QLatin1String(name));
        EXPECT_TRUE(allLinesEndCrLf(bytes));
        const QByteArrayList lines = splitLines(bytes);
        ASSERT_EQ(lines.size(), 4);
        EXPECT_EQ(lines[0], "Vexlon list file");
        EXPECT_EQ(lines[1], type);
        EXPECT_TRUE(stamp.match(cp1251::toUnicode(lines[2])).hasMatch()) << lines[2].constData();
        EXPECT_EQ(lines[3], "Word Amount;0");
    }

    EXPECT_EQ(readWholeFile(kStage + QStringLiteral("/phConfig.cfg")), QByteArray(3, '\0'));
    EXPECT_TRUE(QFileInfo(kBin + QStringLiteral("/phConfig.cfg")).isFile());
    EXPECT_TRUE(QFileInfo(kBin + QStringLiteral("/TempFile")).isDir());
    const QByteArray readMe = readWholeFile(kBin + QStringLiteral("/ReadMe.txt"));
    EXPECT_TRUE(allLinesEndCrLf(readMe));
    EXPECT_EQ(cp1251::toUnicode(readMe),
              readSourceLines(kSources + QStringLiteral("/ReadMe.txt")).join(QLatin1String("\r\n")) + QLatin1String("\r\n"));
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
