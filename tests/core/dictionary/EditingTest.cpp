#include "core/dictionary/Editing.h"

#include "support/RuleFixture.h"

using namespace vexlon;
using namespace vexlon::test;

class EditingTest : public RuleFixture {};

TEST_F(EditingTest, AddInsertsAfterTheSelectionButNeverAboveTheWhiteList)
{
    setItems(state.whiteList, QVector<TLST_ITEM>(3));
    for (int i = 0; i < 5; ++i)
        add("w" + QByteArray::number(i), "01", i < 3 ? status::WhiteList : status::UsersDictionary);
    dialogs.languages = {2};
    EXPECT_EQ(AddWord(state, table), 3);
    const DictRow& added = table.row(3);
    EXPECT_EQ(added.word, QByteArray("new"));
    EXPECT_EQ(added.number, QByteArray("3"));
    EXPECT_EQ(added.languageId, QByteArray("0A"));
    EXPECT_EQ(added.language, QByteArray("German"));
    EXPECT_EQ(added.status, QByteArray(status::AddedByUser));
    EXPECT_TRUE(table.modified);
    EXPECT_EQ(dialogs.languagePrompts, QStringList {"M6"});

    select({4});
    dialogs.languages = {0};
    EXPECT_EQ(AddWord(state, table), 5);
    EXPECT_EQ(table.row(5).number, QByteArray("5"));

    table.modified = false;
    dialogs.languages = {kNoLanguage};
    EXPECT_EQ(AddWord(state, table), -1);
    EXPECT_EQ(table.count(), 7);
    EXPECT_FALSE(table.modified);
}

TEST_F(EditingTest, SetLanguageSkipsProtectedRowsTellingOnce)
{
    add("a1");
    add("a2", "01", status::Locked);
    add("a3", "01", status::WhiteList);
    add("a4");
    select({1, 2, 3});
    dialogs.languages = {1};
    SetLanguage(state, table);
    EXPECT_EQ(table.row(0).languageId, QByteArray("01"));
    EXPECT_EQ(table.row(1).languageId, QByteArray("01"));
    EXPECT_EQ(table.row(3).languageId, QByteArray("02"));
    EXPECT_EQ(table.row(3).language, QByteArray("Russian"));
    EXPECT_EQ(table.row(3).status, QByteArray(status::UsersDictionary));
    EXPECT_EQ(dialogs.messages, QStringList {"M10"});
    EXPECT_TRUE(table.modified);
    EXPECT_TRUE(dialogs.atRest());

    // No selection: the chooser is shown, nothing changes.
    table.modified = false;
    select({1, 2, 3}, false);
    dialogs.languages = {0};
    SetLanguage(state, table);
    EXPECT_FALSE(table.modified);
}

TEST_F(EditingTest, LockUnlockAsksPerLockedRowUntilTheFirstNo)
{
    add("a", "01", status::Locked);
    add("b", "01", status::Locked);
    add("c", "01", status::Locked);
    add("d", "01", status::WhiteList);
    add("e", "01", status::WhiteList);
    add("f");
    select({0, 1, 2, 3, 4, 5});
    dialogs.answers = {true, false};
    LockUnlock(state, table);
    EXPECT_EQ(table.row(0).status, QByteArray(status::EditedByUser));
    EXPECT_EQ(table.row(1).status, QByteArray(status::Locked));
    EXPECT_EQ(table.row(2).status, QByteArray(status::Locked)); // no second question after No
    EXPECT_EQ(table.row(5).status, QByteArray(status::Locked));
    ASSERT_EQ(dialogs.questions.size(), 2u);
    EXPECT_EQ(dialogs.questions[0].kind, ConfirmKind::Warning);
    EXPECT_EQ(dialogs.messages, QStringList {"M11"});
    EXPECT_FALSE(table.modified);
    EXPECT_TRUE(dialogs.atRest());
}

TEST_F(EditingTest, DeleteRemovesUnprotectedSelectedRowsKeepingNumbers)
{
    add("a");
    add("b", "01", status::Locked);
    add("c");
    add("d");
    add("e", "01", status::WhiteList);
    select({0, 1, 2, 4});
    DeleteSelected(state, table);
    EXPECT_EQ(words(), (QList<QByteArray> {"b", "d", "e"}));
    EXPECT_EQ(table.row(1).number, QByteArray("4"));
    EXPECT_EQ(dialogs.messages, QStringList {"M13"});
    EXPECT_TRUE(table.modified);
    EXPECT_EQ(dialogs.statusRefreshes, 1);
}

TEST_F(EditingTest, EditLowerCasesAndDropsBlanksAndProtectedRowsRefuse)
{
    add("old");
    add("keep", "01", status::Locked);
    EXPECT_TRUE(EditWord(table, 0, "Ab Cd \xC0"));
    EXPECT_EQ(table.row(0).word, QByteArray("abcd\xE0"));
    EXPECT_EQ(table.row(0).status, QByteArray(status::EditedByUser));
    EXPECT_TRUE(table.modified);
    EXPECT_FALSE(EditWord(table, 1, "x"));
    EXPECT_EQ(table.row(1).word, QByteArray("keep"));
}

TEST_F(EditingTest, MovesStopAtTheEdgesAndAtWhiteListRows)
{
    add("w", "01", status::WhiteList);
    add("a");
    add("b");
    add("c");
    select({1});
    EXPECT_FALSE(MoveRowUp(table)); // the row above is a white list row
    EXPECT_TRUE(MoveRowDown(table));
    EXPECT_EQ(words(), (QList<QByteArray> {"w", "b", "a", "c"}));
    EXPECT_TRUE(table.row(2).selected);
    EXPECT_EQ(table.row(2).number, QByteArray("2")); // numbers move with their rows
    EXPECT_TRUE(MoveRowDown(table));
    EXPECT_FALSE(MoveRowDown(table)); // last row
    EXPECT_TRUE(MoveRowUp(table));
    EXPECT_EQ(words(), (QList<QByteArray> {"w", "b", "a", "c"}));
    EXPECT_FALSE(table.modified);

    select({2}, false);
    select({0});
    EXPECT_FALSE(MoveRowDown(table)); // white list rows do not move
    EXPECT_FALSE(MoveRowUp(table));
}
