#include "core/dictionary/Editing.h"
#include "core/dictionary/TableOps.h"

#include "support/CoreFixture.h"

using namespace vexlon;
using namespace vexlon::test;

class EditingTest : public CoreFixture {
protected:
    // English rows of the given words and statuses.
    void addAll(std::initializer_list<std::pair<const char*, const char*>> rows)
    {
        for (const auto& [word, st] : rows)
            add(word, "01", st);
    }
};

TEST_F(EditingTest, AddInsertsBelowTheWhiteListAndSetLanguageSkipsProtectedRows)
{
    setItems(state.whiteList, QVector<TLST_ITEM>(3));
    for (int i = 0; i < 5; ++i)
        add("w" + QByteArray::number(i), "01", i < 3 ? status::WhiteList : status::UsersDictionary);
    dialogs.languages = {2};
    EXPECT_EQ(AddWord(state, table), 3);
    EXPECT_EQ(table.row(3), (DictRow {"new", "3", "0A", "German", status::AddedByUser}));
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

    // Set Language skips protected rows, telling once.
    table.clear();
    table.modified = false;
    addAll({{"a1", status::UsersDictionary}, {"a2", status::Locked}, {"a3", status::WhiteList}, {"a4", status::UsersDictionary}});
    select({1, 2, 3});
    dialogs.languages = {1};
    SetLanguage(state, table);
    EXPECT_EQ(column(ColLanguageId), (QList<QByteArray> {"01", "01", "01", "02"}));
    EXPECT_EQ(table.row(3), (DictRow {"a4", "4", "02", "Russian", status::UsersDictionary, true}));
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

TEST_F(EditingTest, LockUnlockAsksUntilTheFirstNoAndMovesStopAtWhiteListRows)
{
    addAll({{"a", status::Locked}, {"b", status::Locked}, {"c", status::Locked}, {"d", status::WhiteList}, {"e", status::WhiteList},
            {"f", status::UsersDictionary}});
    select({0, 1, 2, 3, 4, 5});
    dialogs.answers = {true, false};
    LockUnlock(state, table);
    // No second question after No; white list rows are left alone.
    EXPECT_EQ(column(ColStatus), (QList<QByteArray> {status::EditedByUser, status::Locked, status::Locked, status::WhiteList,
                                                     status::WhiteList, status::Locked}));
    ASSERT_EQ(dialogs.questions.size(), 2u);
    EXPECT_EQ(dialogs.questions[0].kind, ConfirmKind::Warning);
    EXPECT_EQ(dialogs.messages, QStringList {"M11"});
    EXPECT_FALSE(table.modified);
    EXPECT_TRUE(dialogs.atRest());

    // Moves stop at the edges and at white list rows.
    table.clear();
    table.modified = false;
    addAll({{"w", status::WhiteList}, {"a", status::UsersDictionary}, {"b", status::UsersDictionary}, {"c", status::UsersDictionary}});
    select({1});
    EXPECT_FALSE(MoveRowUp(table)); // the row above is a white list row
    EXPECT_TRUE(MoveRowDown(table));
    EXPECT_EQ(words(), (QList<QByteArray> {"w", "b", "a", "c"}));
    EXPECT_TRUE(table.row(2).selected);
    // The rows trade Numbers, so the order by Number (as saved) is the new order.
    EXPECT_EQ(column(table, ColNumber), (QList<QByteArray> {"1", "2", "3", "4"}));
    EXPECT_TRUE(table.modified);
    EXPECT_TRUE(MoveRowDown(table));
    EXPECT_FALSE(MoveRowDown(table)); // last row
    EXPECT_TRUE(MoveRowUp(table));
    SortByNumber(table);
    EXPECT_EQ(words(), (QList<QByteArray> {"w", "b", "a", "c"}));

    select({2}, false);
    select({0});
    EXPECT_FALSE(MoveRowDown(table)); // white list rows do not move
    EXPECT_FALSE(MoveRowUp(table));
}

TEST_F(EditingTest, DeleteAndEditSpareProtectedRows)
{
    addAll({{"a", status::UsersDictionary}, {"b", status::Locked}, {"c", status::UsersDictionary}, {"d", status::UsersDictionary},
            {"e", status::WhiteList}});
    select({0, 1, 2, 4});
    DeleteSelected(state, table);
    EXPECT_EQ(words(), (QList<QByteArray> {"b", "d", "e"}));
    EXPECT_EQ(table.row(1).number, QByteArray("4"));
    EXPECT_EQ(dialogs.messages, QStringList {"M13"});
    EXPECT_TRUE(table.modified);
    EXPECT_EQ(dialogs.statusRefreshes, 1);

    // Editing lower-cases and drops blanks; protected rows refuse.
    table.modified = false;
    EXPECT_TRUE(EditWord(table, 1, cp("Ab Cd \xC0")));
    EXPECT_FALSE(EditWord(table, 0, "x"));
    EXPECT_EQ(words(), (QList<QByteArray> {"b", "abcd\xE0", "e"}));
    EXPECT_EQ(column(ColStatus), (QList<QByteArray> {status::Locked, status::EditedByUser, status::WhiteList}));
    EXPECT_TRUE(table.modified);
    // The first row edits like any other once unlocked; no row past the end.
    DictRow first = table.row(0);
    first.status = status::UsersDictionary;
    table.setRow(0, first);
    EXPECT_TRUE(EditWord(table, 0, "Q"));
    EXPECT_FALSE(EditWord(table, table.count(), "x"));
    EXPECT_EQ(words(), (QList<QByteArray> {"q", "abcd\xE0", "e"}));
}
