#include "core/lists/ListCommands.h"

#include "core/base/Errors.h"
#include "core/lists/ListFiles.h"
#include "support/RuleFixture.h"

using namespace vexlon;
using namespace vexlon::test;

class ListCommandsTest : public RuleFixture {
protected:
    TLST readBack(const char* name)
    {
        TLST list;
        EXPECT_TRUE(ReadListFile(file(QString::fromLatin1(name)), list, state.langStructure));
        return list;
    }
};

TEST_F(ListCommandsTest, ApplyWhiteListReplacesTheWhiteRowsAtTheTop)
{
    setItems(state.whiteList, {{"first", 7, 0x01, ""}, {"second", 2, 0x0A, ""}});
    add("old", "01", status::WhiteList);
    add("first");                       // an ordinary row of the same word stays
    add("x", "02", status::WhiteList);
    ApplyWhiteList(state, table);
    ASSERT_EQ(words(), (QList<QByteArray> {"first", "second", "first"}));
    EXPECT_EQ(table.row(0).number, QByteArray("7"));
    EXPECT_EQ(table.row(1).languageId, QByteArray("0A"));
    EXPECT_EQ(table.row(1).language, QByteArray("German"));
    EXPECT_EQ(table.row(1).status, QByteArray(status::WhiteList));
    EXPECT_EQ(table.row(2).status, QByteArray(status::UsersDictionary));
    EXPECT_FALSE(table.modified);

    state.whiteList = TLST();
    ApplyWhiteList(state, table);
    EXPECT_EQ(words(), QList<QByteArray> {"first"});
}

TEST_F(ListCommandsTest, ToWhiteListAddsNewPairsAndRemovesOrMarksTheirRows)
{
    setItems(state.whiteList, {{"known", 1, 0x01, "English"}});
    add("a");
    add("known");
    add("w", "01", status::WhiteList);
    add("lock", "02", status::Locked);
    add("b");
    select({1, 2, 3});
    dialogs.answers = {true};
    ASSERT_TRUE(ToWhiteList(state, table));
    EXPECT_EQ(dialogs.questions[0].text, QStringLiteral("M14"));
    EXPECT_EQ(dialogs.questions[0].kind, ConfirmKind::Warning);
    EXPECT_EQ(words(), (QList<QByteArray> {"a", "known", "w", "b"}));
    EXPECT_EQ(table.row(1).status, QByteArray(status::UsersDictionary));
    EXPECT_EQ(entries(state.whiteList), (QList<QByteArray> {"2", "known/1/1", "lock/4/2"}));
    EXPECT_EQ(entries(readBack("Lists/WhiteList.csv")), entries(state.whiteList));
    EXPECT_TRUE(table.modified);
    EXPECT_TRUE(dialogs.atRest());

    // No: the rows stay and are marked.
    table.setSelected(3, true);
    dialogs.answers = {false};
    ToWhiteList(state, table);
    EXPECT_EQ(table.row(3).status, QByteArray(status::WhiteList));
    EXPECT_EQ(state.whiteList.Count, 3);
}

TEST_F(ListCommandsTest, ToBlackListKeepsLockedRowsAndRemovesKnownWords)
{
    setItems(state.blackList, {{"known", 1, 0x01, "English"}});
    add("known");
    add("lock", "01", status::Locked);
    add("w", "01", status::WhiteList);
    add("fresh");
    select({0, 1, 2, 3});
    dialogs.answers = {false};
    ToBlackList(state, table);
    EXPECT_EQ(dialogs.questions[0].kind, ConfirmKind::Confirmation);
    EXPECT_EQ(table.row(0).status, QByteArray(status::BlackList));
    EXPECT_EQ(table.row(1).status, QByteArray(status::Locked));
    EXPECT_EQ(table.row(2).status, QByteArray(status::WhiteList));
    EXPECT_EQ(table.row(3).status, QByteArray(status::BlackList));
    EXPECT_FALSE(table.modified); // marking alone does not count
    EXPECT_EQ(state.blackList.Count, 3);

    dialogs.answers = {true};
    ToBlackList(state, table);
    EXPECT_EQ(words(), (QList<QByteArray> {"lock", "w"}));
    EXPECT_TRUE(table.modified);
    EXPECT_EQ(state.blackList.Count, 3);
    EXPECT_EQ(readBack("Lists/BlackList.csv").Count, 3);

    table.modified = false;
    select({0, 1}, false);
    EXPECT_FALSE(ToBlackList(state, table));
    EXPECT_TRUE(dialogs.answers.empty());
}

TEST_F(ListCommandsTest, WordsHoldingSemicolonsAreRefusedAndTheirRowsStay)
{
    add("semi;colon");
    add("fine");
    select({0, 1});
    dialogs.answers = {true};
    ToWhiteList(state, table);
    EXPECT_EQ(words(), QList<QByteArray> {"semi;colon"});
    EXPECT_EQ(state.whiteList.Count, 1);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("semi;colon")));
    EXPECT_EQ(readBack("Lists/WhiteList.csv").Items[0].Word, QByteArray("fine"));
}

TEST_F(ListCommandsTest, MissingListsFolderRaisesButTheTableAndListKeepTheirChange)
{
    QDir(file("Lists")).removeRecursively();
    add("gone");
    select({0});
    dialogs.answers = {true};
    EXPECT_THROW(ToBlackList(state, table), FileError);
    EXPECT_TRUE(table.isEmpty());
    EXPECT_TRUE(table.modified);
    EXPECT_EQ(state.blackList.Count, 1);
    EXPECT_TRUE(dialogs.atRest());
}
