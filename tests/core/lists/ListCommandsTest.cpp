// The list commands of the dictionary window and the list windows.
#include "core/lists/ListCommands.h"
#include "core/lists/StatisticSession.h"
#include "core/lists/WhiteBlackListSession.h"

#include "core/base/Errors.h"
#include "core/lists/ListFiles.h"
#include "core/lists/ReferenceLists.h"
#include "support/CoreFixture.h"
#include "support/RandomTables.h"

using namespace vexlon;
using namespace vexlon::test;

class ListCommandsTest : public CoreFixture {
protected:
    // One field of every row of a list window, the word by default.
    static QList<QByteArray> fieldOf(const QVector<ListRow>& rows, QByteArray ListRow::*field = nullptr)
    {
        QList<QByteArray> out;
        for (const ListRow& r : rows)
            out << (field ? r.*field : bytes(r.word));
        return out;
    }
    template <class List = TLST>
    List readBack(const char* name)
    {
        List list;
        EXPECT_TRUE(ReadListFile(file(QString::fromLatin1(name)), list, state.langStructure));
        return list;
    }
};

TEST_F(ListCommandsTest, ApplyWhiteListAndToWhiteList)
{
    setItems(state.whiteList, {{"first", 7, 0x01, ""}, {"second", 2, 0x0A, ""}});
    add("old", "01", status::WhiteList);
    add("first");                       // an ordinary row of the same word stays
    add("x", "02", status::WhiteList);
    ApplyWhiteList(state, table);
    // "old" and "x" were taken off the list: they stay, unprotected.
    ASSERT_EQ(words(), (QList<QByteArray> {"first", "second", "old", "first", "x"}));
    EXPECT_EQ(table.row(0).number, QByteArray("7"));
    EXPECT_EQ(table.row(1), (DictRow {"second", "2", "0A", "German", status::WhiteList}));
    const QByteArray U = status::UsersDictionary;
    EXPECT_EQ(column(ColStatus).mid(2), (QList<QByteArray> {U, U, U}));
    EXPECT_FALSE(table.modified);

    state.whiteList = TLST();
    ApplyWhiteList(state, table);
    EXPECT_EQ(words(), (QList<QByteArray> {"first", "second", "old", "first", "x"}));
    EXPECT_EQ(column(ColStatus), (QList<QByteArray> {U, U, U, U, U}));

    // To White List adds new pairs and removes or marks their rows.
    table.clear();
    setItems(state.whiteList, {{"known", 1, 0x01, "English"}});
    for (const char* w : {"a", "known"})
        add(w);
    add("w", "01", status::WhiteList);
    add("lock", "02", status::Locked);
    add("b");
    select({1, 2, 3});
    dialogs.answers = {true};
    ASSERT_TRUE(ToWhiteList(state, table));
    EXPECT_EQ(std::pair(dialogs.questions[0].text, dialogs.questions[0].kind), std::pair(QStringLiteral("M14"), ConfirmKind::Warning));
    EXPECT_EQ(words(), (QList<QByteArray> {"a", "known", "w", "b"}));
    EXPECT_EQ(table.row(1).status, U);
    EXPECT_EQ(entries(state.whiteList), (QList<QByteArray> {"2", "known/1/1", "lock/4/2"}));
    EXPECT_EQ(entries(readBack("Lists/WhiteList.csv")), entries(state.whiteList));
    EXPECT_TRUE(table.modified);
    EXPECT_TRUE(dialogs.atRest());

    // Cancel: nothing changes, neither the rows nor the list.
    table.setSelected(3, true);
    table.modified = false;
    const QVector<DictRow> before = table.rows();
    dialogs.cancels = 1;
    EXPECT_FALSE(ToWhiteList(state, table));
    EXPECT_EQ(table.rows(), before);
    EXPECT_EQ(state.whiteList.Count, 2);
    EXPECT_FALSE(table.modified);

    // No: the rows stay and are marked.
    dialogs.answers = {false};
    ToWhiteList(state, table);
    EXPECT_EQ(table.row(3).status, QByteArray(status::WhiteList));
    EXPECT_EQ(state.whiteList.Count, 3);
}

TEST_F(ListCommandsTest, ToBlackListKeepsLockedRowsAndUnstorableWordsOrAMissingFolderLeaveRows)
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
    EXPECT_EQ(column(ColStatus), (QList<QByteArray> {status::BlackList, status::Locked, status::WhiteList, status::BlackList}));
    EXPECT_FALSE(table.modified); // marking alone does not count
    EXPECT_EQ(state.blackList.Count, 3);

    dialogs.answers = {true};
    ToBlackList(state, table);
    EXPECT_EQ(words(), (QList<QByteArray> {"lock", "w"}));
    EXPECT_TRUE(table.modified);
    EXPECT_EQ(entries(readBack("Lists/BlackList.csv")), entries(state.blackList));
    EXPECT_EQ(state.blackList.Count, 3);

    table.modified = false;
    select({0, 1}, false);
    EXPECT_FALSE(ToBlackList(state, table));
    EXPECT_TRUE(dialogs.answers.empty());

    // Words holding ";" are refused and their rows stay.
    table.clear();
    state.whiteList = state.blackList = TLST();
    dialogs.messages.clear();
    for (const char* w : {"semi;colon", "fine"})
        add(w);
    select({0, 1});
    dialogs.answers = {true};
    ToWhiteList(state, table);
    EXPECT_EQ(words(), QList<QByteArray> {"semi;colon"});
    EXPECT_EQ(state.whiteList.Count, 1);
    EXPECT_TRUE(dialogs.messages.value(0).contains(QStringLiteral("semi;colon")));
    EXPECT_EQ(readBack("Lists/WhiteList.csv").Items[0].Word, QByteArray("fine"));

    // A missing Lists folder raises, but the table and the list keep their change.
    QDir(file("Lists")).removeRecursively();
    table.clear();
    table.modified = false;
    add("gone");
    select({0});
    dialogs.answers = {true};
    EXPECT_THROW(ToBlackList(state, table), FileError);
    EXPECT_TRUE(table.isEmpty());
    EXPECT_TRUE(table.modified);
    EXPECT_EQ(state.blackList.Count, 1);
    EXPECT_TRUE(dialogs.atRest());
}

TEST_F(ListCommandsTest, ListWindowsOpenAddRenumberAndApply)
{
    setItems(state.whiteList, {{"c", 10, 1, ""}, {"a", 9, 1, ""}, {"b", 100, 2, ""}});
    WhiteBlackListSession window(state, WhiteBlackListSession::Kind::White);
    EXPECT_EQ(fieldOf(window.rows()), (QList<QByteArray> {"a", "c", "b"}));
    EXPECT_EQ(window.rows()[2].language, QByteArray("Russian"));

    dialogs.languages = {2};
    EXPECT_EQ(window.add(), 1); // nothing selected: position 1
    EXPECT_EQ(fieldOf(window.rows()), (QList<QByteArray> {"a", "new", "c", "b"}));
    // Above the insert point the numbers stay.
    EXPECT_EQ(fieldOf(window.rows(), &ListRow::number), (QList<QByteArray> {"9", "2", "3", "4"}));
    EXPECT_EQ(window.rows()[1].languageId, QByteArray("0A"));

    window.setSelected(3, true);
    EXPECT_FALSE(window.moveDown());
    EXPECT_TRUE(window.moveUp());
    EXPECT_EQ(fieldOf(window.rows()), (QList<QByteArray> {"a", "new", "b", "c"}));
    EXPECT_EQ(fieldOf(window.rows(), &ListRow::number), (QList<QByteArray> {"9", "2", "3", "4"}));
    EXPECT_TRUE(window.moveDown());
    EXPECT_EQ(window.rows()[0].number, QByteArray("1")); // Move Down renumbers all

    // Apply sorts, drops marked and repeated rows, and lower-cases.
    setItems(state.blackList, {{"Zeta", 5, 1, ""}, {"alpha", 3, 1, ""}, {"Alpha", 4, 1, ""}, {"beta", 1, 2, ""},
                             {"beta", 1, 2, ""}, {"gone", 1, 1, ""}});
    WhiteBlackListSession black(state, WhiteBlackListSession::Kind::Black);
    EXPECT_EQ(fieldOf(black.rows()), (QList<QByteArray> {"alpha", "Alpha", "beta", "beta", "gone", "Zeta"}));
    black.setSelected(4, true);
    black.markDelete();
    for (int i : {4, 2})
        black.setSelected(i, i == 2);
    black.markDelete();
    black.cancelDeletion();
    EXPECT_FALSE(black.moveUp() || black.moveDown()); // a black list keeps its word order
    EXPECT_TRUE(black.confirmEdit(5, "Zeta2"));
    EXPECT_EQ(black.rows()[5].action, QByteArray(action::Edited));
    EXPECT_FALSE(black.confirmEdit(5, "a;b"));
    EXPECT_EQ(dialogs.messages.size(), 1);

    // "alpha" and "Alpha" differ when compared, so both stay, lower-cased;
    // the black list keeps no numbers.
    EXPECT_EQ(entries(black.apply()), (QList<QByteArray> {"4", "alpha/0/1", "alpha/0/1", "beta/0/2", "zeta2/0/1"}));

    black.sortByColumn(ListColumn::LanguageId);
    EXPECT_EQ(black.rows()[0].languageId, QByteArray("02"));

    // The Index is the decimal number the file holds, compared unsigned: a
    // hand-edited -1 comes after 100000000.
    setItems(state.whiteList, {{"d", -1, 1, ""}, {"b", 100000000, 1, ""}, {"a", 9, 1, ""}});
    WhiteBlackListSession sorted(state, WhiteBlackListSession::Kind::White);
    EXPECT_EQ(fieldOf(sorted.rows()), (QList<QByteArray> {"a", "b", "d"}));
}

TEST_F(ListCommandsTest, IndexedApplyMatchesThePlainWalk)
{
    RandomTables random(8);
    for (int round = 0; round < 300; ++round) {
        QVector<ListRow> rows;
        for (int i = random.below(30); i > 0; --i) {
            ListRow r;
            r.word = random.word(3);
            if (random.below(3) == 0 && !rows.isEmpty())
                r.word = rows[random.below(static_cast<int>(rows.size()))].word.toLower();
            r.number = QByteArray::number(random.below(20));
            r.languageId = random.below(2) ? "01" : "02";
            r.action = random.below(5) == 0 ? action::Delete : random.below(4) == 0 ? action::Edited : "";
            rows.append(r);
        }
        ASSERT_EQ(entries(applyListRows(state, rows, true)),
                  entries(reference::applyListRows(state.langStructure, rows, true))) << round;
    }
}

TEST_F(ListCommandsTest, StatisticWindowSavesSendsWordsAndSetsLanguagesAndMovedRowsStaySelected)
{
    setItems(state.statisticList, {{"low", 1, 1, ""}, {"high", 20, 1, ""}, {"mid", 5, 2, ""}});
    setItems(state.whiteList, {{"mid", 1, 2, ""}});
    StatisticSession window(state);
    EXPECT_EQ(fieldOf(window.rows()), (QList<QByteArray> {"high", "mid", "low"}));
    EXPECT_TRUE(window.cancel());

    window.setSelected(0, true);
    window.setSelected(1, true);
    window.toWhiteList();
    EXPECT_EQ(fieldOf(window.rows(), &ListRow::action), (QList<QByteArray> {action::AddedToWhiteList, "", ""})); // "mid" is there
    EXPECT_EQ(entries(readBack<TLST>("Lists/WhiteList.csv")), (QList<QByteArray> {"2", "mid/1/2", "high/20/1"}));
    EXPECT_TRUE(window.unchanged());

    for (const char* bad : {"", "-4", "x"})
        EXPECT_FALSE(window.setRating(QString::fromLatin1(bad))) << bad;
    EXPECT_EQ(dialogs.messages.size(), 1);
    window.setSelected(0, false);
    EXPECT_TRUE(window.setRating(QStringLiteral("30"))); // "mid"
    window.setSelected(1, false);
    window.setSelected(2, true);
    window.markDelete();
    EXPECT_FALSE(window.unchanged());

    window.save(true);
    EXPECT_EQ(fieldOf(window.rows()), (QList<QByteArray> {"mid", "high"}));
    EXPECT_EQ(fieldOf(window.rows(), &ListRow::action), (QList<QByteArray> {"", ""}));
    EXPECT_EQ(entries(state.statisticList), (QList<QByteArray> {"2", "mid/30/2", "high/20/1"}));
    EXPECT_EQ(entries(readBack<TSTATLST>("Lists/Statistic.csv")), entries(state.statisticList));
    EXPECT_EQ(dialogs.messages.last(), QStringLiteral("M28"));

    dialogs.answers = {false};
    EXPECT_FALSE(window.cancel());
    state.settings.StatisticType = 0;
    dialogs.answers = {false};
    EXPECT_FALSE(window.toDictionary(table));
    // To Dictionary saves the rows first: a row marked for deletion leaves
    // the statistic file and does not reach the dictionary.
    for (int i = 0; i < window.count(); ++i)
        window.setSelected(i, i == 1);
    window.markDelete();
    dialogs.answers = {true};
    EXPECT_TRUE(window.toDictionary(table));
    EXPECT_EQ(readBack<TSTATLST>("Lists/Statistic.csv").Count, 1);
    // The white list first, then the statistic's words.
    EXPECT_EQ(words(), (QList<QByteArray> {"mid", "high", "mid"}));
    EXPECT_EQ(column(ColStatus), (QList<QByteArray> {status::WhiteList, status::WhiteList, "Reiting: 30; Line: 1"}));

    // A moved row is the only selected row.
    setItems(state.whiteList, {{"a", 1, 1, ""}, {"b", 2, 1, ""}, {"c", 3, 1, ""}, {"d", 4, 1, ""}});
    WhiteBlackListSession white(state, WhiteBlackListSession::Kind::White);
    white.setSelected(2, true);
    white.setSelected(3, true);
    EXPECT_TRUE(white.moveUp()); // the first selected row, "c"
    EXPECT_EQ(fieldOf(white.rows()), (QList<QByteArray> {"a", "c", "b", "d"}));
    for (int i = 0; i < white.count(); ++i)
        EXPECT_EQ(white.rows()[i].selected, i == 1) << i;
    EXPECT_TRUE(white.moveDown());
    EXPECT_TRUE(white.moveDown());
    EXPECT_EQ(fieldOf(white.rows()), (QList<QByteArray> {"a", "b", "d", "c"}));
    EXPECT_EQ(white.firstSelected(), 3);
    EXPECT_FALSE(white.moveDown()); // the last row stays
    EXPECT_EQ(white.firstSelected(), 3);

    setItems(state.statisticList, {{"x", 2, 1, ""}, {"y", 1, 1, ""}});
    StatisticSession statistic(state);
    EXPECT_FALSE(statistic.hasSelection());
    statistic.setLanguage(); // no chooser: dialogs are strict
    EXPECT_TRUE(statistic.unchanged());
    statistic.setSelected(1, true);
    dialogs.languages = {2};
    statistic.setLanguage();
    EXPECT_EQ(dialogs.languagePrompts, QStringList {QStringLiteral("M9")});
    EXPECT_EQ(statistic.rows()[1].languageId, QByteArray("0A"));
    EXPECT_EQ(statistic.rows()[1].action, QByteArray(action::ChangeLanguage));
    EXPECT_FALSE(statistic.unchanged());
}
