#include "core/lists/Statistics.h"

#include "core/base/Errors.h"
#include "core/dictionary/TableOps.h"
#include "core/lists/ReferenceLists.h"
#include "core/lists/ListFiles.h"
#include "core/lists/StatisticSession.h"
#include "support/RandomTables.h"
#include "support/CoreFixture.h"

using namespace vexlon;
using namespace vexlon::test;

class StatisticsTest : public CoreFixture {};

TEST_F(StatisticsTest, CountingSortingAndMakingADictionaryFromTheStatistic)
{
    add("word");
    add("word", "02");
    add("Word", "01", status::Locked);
    UpdateStatistic(state, table);
    UpdateStatistic(state, table);
    EXPECT_EQ(entries(state.statisticList), (QList<QByteArray> {"3", "word/2/1", "word/2/2", "Word/2/1"}));
    EXPECT_EQ(state.statisticList.Items[1].LanguageTitle, QByteArray("Russian"));
    EXPECT_TRUE(dialogs.atRest());
    EXPECT_TRUE(AddToStatistic(state, "word", 0x02));
    EXPECT_FALSE(AddToStatistic(state, "new", 0x0A));
    EXPECT_EQ(entries(state.statisticList), (QList<QByteArray> {"4", "word/2/1", "word/3/2", "Word/2/1", "new/1/10"}));

    table.append(row("x;y"));
    UpdateStatistic(state, table);
    EXPECT_EQ(state.statisticList.Count, 4);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("x;y")));

    // Making a dictionary takes the best words, then trims them to fit.
    state.settings.UsersDictionarySize = 19 + 40;
    setItems(state.whiteList, {{"white", 1, 1, ""}}); // 10 bytes
    setItems(state.statisticList, {{"abcd", 9, 1, ""}, {"efgh", 8, 2, ""}, {"ijklmnop", 7, 1, ""}, {"qr", 6, 1, ""}});
    add("old");
    state.settings.StatisticType = 0;
    FillDictionaryFromStatistic(state, table);
    // 30 bytes free after the white list: abcd (10), efgh (10), ijklmnop
    // (14) is appended at 20 < 30 and then taken off again.
    ASSERT_EQ(words(), (QList<QByteArray> {"white", "abcd", "efgh"}));
    EXPECT_EQ(table.row(1).number, QByteArray("00"));
    EXPECT_EQ(table.row(2).status, QByteArray("Reiting: 8; Line: 2"));
    EXPECT_EQ(table.row(2).languageId, QByteArray("02"));
    EXPECT_GT(FreeBytes(state, table), 0);
    EXPECT_FALSE(table.modified);

    // An empty statistic leaves only the white list.
    state.statisticList = TSTATLST();
    FillDictionaryFromStatistic(state, table);
    EXPECT_EQ(words(), QList<QByteArray> {"white"});

    // A capacity below the header and trailer: trimming stops at an empty table.
    state.settings.UsersDictionarySize = 10;
    FillDictionaryFromStatistic(state, table);
    EXPECT_TRUE(table.isEmpty());
}

TEST_F(StatisticsTest, AddingSkipsWordsPresentInAnyLanguageAndIndexedRulesMatchThePlainOnes)
{
    state.settings.StatisticType = 1;
    setItems(state.statisticList, {{"have", 9, 2, ""}, {"fresh", 8, 1, ""}, {"fresh", 7, 2, ""}, {"more", 6, 1, ""}});
    add("have");
    add("keep");
    FillDictionaryFromStatistic(state, table);
    ASSERT_EQ(words(), (QList<QByteArray> {"have", "keep", "fresh", "more"}));
    EXPECT_EQ(column(ColNumber).mid(2), (QList<QByteArray> {"3", "3"}));
    EXPECT_EQ(table.row(3).status, QByteArray("Reiting: 6; Line: 4"));

    // Counting and type 1 filling against their entry-by-entry references.
    RandomTables random(4);
    for (int round = 0; round < 100; ++round) {
        TSTATLST list;
        for (int e = random.below(40); e > 0; --e) // a pair may stand twice: the first counts
            list.Items.append({random.word(4), random.below(50), static_cast<uint8_t>(random.below(3) + 1), ""});
        list.Count = static_cast<int>(list.Items.size());
        QVector<DictRow> rows = random.rows(random.below(20));
        for (DictRow& r : rows) {
            r.word.replace(';', 'x');
            r.languageId = random.below(2) ? "01" : "102";
            r.status = status::UsersDictionary;
        }
        DictionaryTable fast, plain;
        fast.replaceAll(rows);
        plain.replaceAll(rows);
        state.statisticList = list;
        UpdateStatistic(state, fast);
        TSTATLST expected = list;
        reference::UpdateStatistic(expected, state.langStructure, fast);
        ASSERT_EQ(entries(state.statisticList), entries(expected)) << round;
        state.statisticList = list;
        state.settings.UsersDictionarySize = 19 + random.below(200);
        FillDictionaryFromStatistic(state, fast);
        reference::FillAddFromStatistic(state.settings, list, state.langStructure, plain);
        ASSERT_EQ(fast.rows(), plain.rows()) << round;
    }
}

// Decimal 32-bit ratings compare as the unsigned values of their bits, and
// counting stops at the top instead of wrapping.
TEST_F(StatisticsTest, AnyRatingTheListHoldsSortsAndCountsWithoutFailingOrWrapping)
{
    // Descending: "100000000" is not read as hexadecimal 0x100000000.
    const std::tuple<const char*, const char*, int> order[] = {{"3", "10", 1}, {"10", "3", -1}, {"5", "5", 0}, {"100000000", "99999999", -1},
                                                               {"2147483647", "-2147483648", 1}, {"-1", "-2", -1}, {"0", "-5", 1}};
    for (const auto& [a, b, result] : order)
        EXPECT_EQ(CompareByRating(a, b), result) << a << " " << b;
    EXPECT_THROW(CompareByRating("1a", "1"), ConvertError);

    TSTATLST list;
    setItems(list, {{"five", 5, 1, ""}, {"max", 2147483647, 1, ""}, {"neg", -3, 1, ""}, {"big", 100000000, 1, ""},
                    {"ten", 10, 1, ""}, {"nine", 9, 1, ""}, {"zero", 0, 1, ""}, {"alsofive", 5, 1, ""}});
    SortStatisticByRating(list);
    EXPECT_EQ(entries(list), (QList<QByteArray> {"8", "neg/-3/1", "max/2147483647/1", "big/100000000/1", "ten/10/1",
                                                  "nine/9/1", "five/5/1", "alsofive/5/1", "zero/0/1"}));

    // Counting up: the largest positive rating and -1 (the largest in the
    // rating order) stay where they are; others go up by one.
    setItems(state.statisticList, {{"top", 2147483647, 1, ""}, {"all", -1, 1, ""}, {"minus", -2, 1, ""},
                                   {"near", 2147483646, 1, ""}});
    const QList<QByteArray> counted {"4", "top/2147483647/1", "all/-1/1", "minus/-1/1", "near/2147483647/1"};
    for (const char* w : {"top", "all", "minus", "near"})
        add(w);
    UpdateStatistic(state, table);
    EXPECT_EQ(entries(state.statisticList), counted);
    for (const char* w : {"top", "all", "minus", "near"})
        EXPECT_TRUE(AddToStatistic(state, w, 0x01));
    EXPECT_EQ(entries(state.statisticList), counted);
    EXPECT_TRUE(dialogs.atRest());
}

TEST_F(StatisticsTest, TheWindowOrdersNineDigitAndNegativeRatingsAndStillFillsTheDictionary)
{
    setItems(state.statisticList, {{"small", 9, 1, ""}, {"neg", -7, 1, ""}, {"mid", 10, 1, ""}, {"big", 100000000, 1, ""}});
    StatisticSession window(state);
    const auto order = [&] {
        QList<QByteArray> out;
        for (const ListRow& r : window.rows())
            out << bytes(r.word);
        return out;
    };
    EXPECT_EQ(order(), (QList<QByteArray> {"neg", "big", "mid", "small"}));
    EXPECT_EQ(window.sortByColumn(ListColumn::Number, true), Qt::AscendingOrder);
    EXPECT_EQ(order(), (QList<QByteArray> {"small", "mid", "big", "neg"}));
    EXPECT_EQ(window.sortByColumn(ListColumn::Number), Qt::DescendingOrder);
    EXPECT_EQ(order(), (QList<QByteArray> {"neg", "big", "mid", "small"}));

    // "small" gets a rating above every other positive one.
    for (int i = 0; i < window.count(); ++i)
        window.setSelected(i, window.rows()[i].word == "small");
    EXPECT_TRUE(window.setRating(QStringLiteral("2000000000")));
    state.settings.StatisticType = 1;
    ASSERT_NO_THROW(EXPECT_TRUE(window.toDictionary(table)));
    EXPECT_EQ(entries(state.statisticList), (QList<QByteArray> {"4", "neg/-7/1", "small/2000000000/1",
                                                                 "big/100000000/1", "mid/10/1"}));
    EXPECT_EQ(words(), (QList<QByteArray> {"neg", "small", "big", "mid"}));
    TSTATLST stored;
    ASSERT_TRUE(ReadListFile(file("Lists/Statistic.csv"), stored, state.langStructure));
    EXPECT_EQ(entries(stored), entries(state.statisticList));
    EXPECT_TRUE(dialogs.atRest());
}

// The window's rows against one row per entry sorted by the rating texts:
// random lists with many equal ratings, negative ratings from hand-edited
// files, the extremes, and languages with and without a name.
TEST_F(StatisticsTest, WindowRowsMatchRowsPerEntrySortedByTheirRatingTexts)
{
    RandomTables random(34);
    const int32_t ratings[] = {0, 1, 2, 3, 10, 4095, 4096, 100000000, 2147483647, -1, -2, -2147483647 - 1};
    const uint8_t ids[] = {0x01, 0x02, 0x0A, 0xFF, 0x77};
    for (int round = 0; round < 60; ++round) {
        QVector<TSTATLST_ITEM> items;
        for (int n = random.below(40); n > 0; --n)
            items.append({random.word(4), ratings[random.below(12)], ids[random.below(5)], "stored"});
        setItems(state.statisticList, items);
        QVector<ListRow> expected;
        for (const TSTATLST_ITEM& item : items)
            expected.append(listediting::rowOf(state, item.Word, item.Rating, item.LanguageID));
        listediting::sortByRating(expected, Qt::DescendingOrder);
        StatisticSession window(state);
        ASSERT_EQ(window.rows(), expected) << "round " << round;
    }
}
