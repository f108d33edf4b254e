#include "core/lists/StatisticSession.h"
#include "core/lists/WhiteBlackListSession.h"

#include "core/lists/ListFiles.h"
#include "core/lists/ReferenceLists.h"
#include "support/RandomTables.h"
#include "support/RuleFixture.h"

using namespace vexlon;
using namespace vexlon::test;

class ListEditingTest : public RuleFixture {
protected:
    static QList<QByteArray> wordsOf(const QVector<ListRow>& rows)
    {
        QList<QByteArray> out;
        for (const ListRow& r : rows)
            out << r.word;
        return out;
    }
};

TEST_F(ListEditingTest, WhiteWindowOpensByIndexAndAddRenumbersFromTheInsertPoint)
{
    setItems(state.whiteList, {{"c", 10, 1, ""}, {"a", 9, 1, ""}, {"b", 100, 2, ""}});
    WhiteBlackListSession window(state, WhiteBlackListSession::Kind::White);
    EXPECT_EQ(wordsOf(window.rows()), (QList<QByteArray> {"a", "c", "b"}));
    EXPECT_EQ(window.rows()[2].language, QByteArray("Russian"));

    dialogs.languages = {2};
    EXPECT_EQ(window.add(), 1); // nothing selected: position 1
    EXPECT_EQ(wordsOf(window.rows()), (QList<QByteArray> {"a", "new", "c", "b"}));
    EXPECT_EQ(window.rows()[1].number, QByteArray("2"));
    EXPECT_EQ(window.rows()[3].number, QByteArray("4"));
    EXPECT_EQ(window.rows()[0].number, QByteArray("9")); // above p: untouched
    EXPECT_EQ(window.rows()[1].languageId, QByteArray("0A"));

    window.setSelected(3, true);
    EXPECT_FALSE(window.moveDown());
    EXPECT_TRUE(window.moveUp());
    EXPECT_EQ(wordsOf(window.rows()), (QList<QByteArray> {"a", "new", "b", "c"}));
    EXPECT_EQ(window.rows()[2].number, QByteArray("3"));
    EXPECT_EQ(window.rows()[0].number, QByteArray("9"));
    EXPECT_TRUE(window.moveDown());
    EXPECT_EQ(window.rows()[0].number, QByteArray("1")); // Move Down renumbers all
}

TEST_F(ListEditingTest, ApplySortsDropsMarkedAndRepeatedRowsAndLowerCases)
{
    setItems(state.blackList, {{"Zeta", 5, 1, ""}, {"alpha", 3, 1, ""}, {"Alpha", 4, 1, ""}, {"beta", 1, 2, ""},
                             {"beta", 1, 2, ""}, {"gone", 1, 1, ""}});
    WhiteBlackListSession window(state, WhiteBlackListSession::Kind::Black);
    EXPECT_EQ(wordsOf(window.rows()), (QList<QByteArray> {"alpha", "Alpha", "beta", "beta", "gone", "Zeta"}));
    window.setSelected(4, true);
    window.markDelete();
    window.setSelected(4, false);
    window.setSelected(2, true);
    window.markDelete();
    window.cancelDeletion();
    EXPECT_TRUE(window.confirmEdit(5, "Zeta2"));
    EXPECT_EQ(window.rows()[5].action, QByteArray(action::Edited));
    EXPECT_FALSE(window.confirmEdit(5, "a;b"));
    EXPECT_EQ(dialogs.messages.size(), 1);

    // "alpha" and "Alpha" differ when compared, so both stay, lower-cased;
    // the black list keeps no numbers.
    EXPECT_EQ(entries(window.apply()), (QList<QByteArray> {"4", "alpha/0/1", "alpha/0/1", "beta/0/2", "zeta2/0/1"}));

    window.sortByColumn(ListColumn::LanguageId);
    EXPECT_EQ(window.rows()[0].languageId, QByteArray("02"));
}

TEST_F(ListEditingTest, IndexedApplyMatchesThePlainWalk)
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

TEST_F(ListEditingTest, StatisticWindowSavesInRatingOrderAndSendsWordsToTheLists)
{
    setItems(state.statisticList, {{"low", 1, 1, ""}, {"high", 20, 1, ""}, {"mid", 5, 2, ""}});
    setItems(state.whiteList, {{"mid", 1, 2, ""}});
    StatisticSession window(state);
    EXPECT_EQ(wordsOf(window.rows()), (QList<QByteArray> {"high", "mid", "low"}));
    EXPECT_TRUE(window.cancel());

    window.setSelected(0, true);
    window.setSelected(1, true);
    window.toWhiteList();
    EXPECT_EQ(window.rows()[0].action, QByteArray(action::AddedToWhiteList));
    EXPECT_TRUE(window.rows()[1].action.isEmpty()); // already on the list
    EXPECT_EQ(state.whiteList.Items[1].Number, 20);
    TLST written;
    EXPECT_TRUE(ReadListFile(file("Lists/WhiteList.csv"), written, state.langStructure));
    EXPECT_EQ(written.Count, 2);
    EXPECT_TRUE(window.unchanged());

    EXPECT_FALSE(window.setRating(QString()));
    EXPECT_FALSE(window.setRating(QStringLiteral("-4")));
    EXPECT_FALSE(window.setRating(QStringLiteral("x")));
    EXPECT_EQ(dialogs.messages.size(), 1);
    window.setSelected(0, false);
    EXPECT_TRUE(window.setRating(QStringLiteral("30"))); // "mid"
    window.setSelected(1, false);
    window.setSelected(2, true);
    window.markDelete();
    EXPECT_FALSE(window.unchanged());

    window.save(true);
    EXPECT_EQ(wordsOf(window.rows()), (QList<QByteArray> {"mid", "high"}));
    EXPECT_EQ(state.statisticList.Count, 2);
    EXPECT_EQ(state.statisticList.Items[0].Rating, 30);
    EXPECT_EQ(dialogs.messages.last(), QStringLiteral("M28"));
    for (const ListRow& r : window.rows())
        EXPECT_TRUE(r.action.isEmpty());
    TSTATLST stored;
    EXPECT_TRUE(ReadListFile(file("Lists/Statistic.csv"), stored, state.langStructure));
    EXPECT_EQ(stored.Items[0].Word, QByteArray("mid"));

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
    TSTATLST saved;
    EXPECT_TRUE(ReadListFile(file("Lists/Statistic.csv"), saved, state.langStructure));
    EXPECT_EQ(saved.Count, 1);
    // The white list first, then the statistic's words.
    EXPECT_EQ(words(), (QList<QByteArray> {"mid", "high", "mid"}));
    EXPECT_EQ(table.row(1).status, QByteArray(status::WhiteList));
    EXPECT_EQ(table.row(2).status, QByteArray("Reiting: 30; Line: 1"));
}

TEST_F(ListEditingTest, MovedRowIsTheOnlySelectedRowAndStatisticLanguageNeedsASelection)
{
    setItems(state.whiteList, {{"a", 1, 1, ""}, {"b", 2, 1, ""}, {"c", 3, 1, ""}, {"d", 4, 1, ""}});
    WhiteBlackListSession white(state, WhiteBlackListSession::Kind::White);
    white.setSelected(2, true);
    white.setSelected(3, true);
    EXPECT_TRUE(white.moveUp()); // the first selected row, "c"
    EXPECT_EQ(wordsOf(white.rows()), (QList<QByteArray> {"a", "c", "b", "d"}));
    for (int i = 0; i < white.count(); ++i)
        EXPECT_EQ(white.rows()[i].selected, i == 1) << i;
    EXPECT_TRUE(white.moveDown());
    EXPECT_TRUE(white.moveDown());
    EXPECT_EQ(wordsOf(white.rows()), (QList<QByteArray> {"a", "b", "d", "c"}));
    EXPECT_EQ(white.firstSelected(), 3);
    EXPECT_FALSE(white.moveDown()); // the last row stays
    EXPECT_EQ(white.firstSelected(), 3);

    setItems(state.statisticList, {{"x", 2, 1, ""}, {"y", 1, 1, ""}});
    StatisticSession statistic(state);
    EXPECT_FALSE(statistic.hasSelection());
    statistic.setLanguage(); // no chooser: dialogs are strict
    EXPECT_TRUE(dialogs.languagePrompts.isEmpty());
    EXPECT_TRUE(statistic.unchanged());
    statistic.setSelected(1, true);
    dialogs.languages = {2};
    statistic.setLanguage();
    EXPECT_EQ(dialogs.languagePrompts, QStringList {QStringLiteral("M9")});
    EXPECT_EQ(statistic.rows()[1].languageId, QByteArray("0A"));
    EXPECT_EQ(statistic.rows()[1].action, QByteArray(action::ChangeLanguage));
    EXPECT_FALSE(statistic.unchanged());
}
