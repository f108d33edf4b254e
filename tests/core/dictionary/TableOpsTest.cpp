#include "core/dictionary/TableOps.h"

#include "core/dictionary/Find.h"

#include "core/base/Errors.h"
#include "core/dictionary/CoreFixture.h"

using namespace vexlon;
using namespace vexlon::test;

namespace {

class CountingObserver : public TableObserver {
public:
    int resets = 0;
    int other = 0;
    void tableReset() override { ++resets; }
    void rowsInserted(int, int) override { ++other; }
    void rowsRemoved(int, int) override { ++other; }
    void rowsChanged(int, int) override { ++other; }
};

} // namespace

class TableOpsTest : public CoreFixture {
protected:
    void add(const QByteArray& word, const QByteArray& number = "1", const QByteArray& id = "01")
    {
        table.append({word, number, id, "L", "Users Dictionary"});
    }
    QVector<QByteArray> column(int c) const
    {
        QVector<QByteArray> out;
        for (const DictRow& r : table.rows())
            out << r.cell(c);
        return out;
    }
    DictionaryTable table;
};

TEST_F(TableOpsTest, FreeBytesCountsEvenSizedRecords)
{
    EXPECT_EQ(FreeBytes(state, table), 5081);
    EXPECT_TRUE(dialogs.captions.isEmpty()); // no progress for an empty table
    add("a");
    EXPECT_EQ(FreeBytes(state, table), 5081 - 6);
    add("ab");
    add("abc");
    EXPECT_EQ(FreeBytes(state, table), 5081 - 6 - 8 - 8);
    // The length is taken modulo 256.
    table.clear();
    add(QByteArray(257, 'x'));
    EXPECT_EQ(FreeBytes(state, table), 5081 - 6);
    EXPECT_TRUE(dialogs.atRest());
}

TEST_F(TableOpsTest, StatusLineTurnsRedWhenNoByteIsLeft)
{
    DictionaryStatusLine line = dictionaryStatusLine(state, table);
    EXPECT_TRUE(line.fits);
    EXPECT_EQ(line.text, QStringLiteral("M0:5081 b, M1:0"));
    // Twenty 254-byte records take 5080 of the 5081 bytes.
    for (int i = 0; i < 20; ++i)
        add(QByteArray(249, 'x'));
    EXPECT_EQ(FreeBytes(state, table), 1);
    EXPECT_TRUE(RefreshDictionaryStatus(state, table));
    add("z");
    EXPECT_LT(FreeBytes(state, table), 0);
    line = dictionaryStatusLine(state, table);
    EXPECT_FALSE(line.fits);
    EXPECT_EQ(line.text, QStringLiteral("M2:, M1:") + QString::number(table.count()));
}

TEST_F(TableOpsTest, AnExactFitLeavesNothingFree)
{
    state.settings.UsersDictionarySize = 19 + 8 * 10;
    for (int i = 0; i < 10; ++i)
        add("ab");
    EXPECT_EQ(FreeBytes(state, table), 0);
    EXPECT_FALSE(RefreshDictionaryStatus(state, table));
}

TEST_F(TableOpsTest, RenumberClampsItsRange)
{
    add("a", "77");
    add("b", "5");
    add("c", "0");
    RenumberRows(state, table, -5, 1000);
    EXPECT_EQ(column(ColNumber), QVector<QByteArray>({"1", "2", "3"}));
    EXPECT_TRUE(table.modified);
    table.setCell(0, ColNumber, "9");
    RenumberRows(state, table, 1, 1);
    EXPECT_EQ(column(ColNumber), QVector<QByteArray>({"9", "2", "3"}));
    EXPECT_TRUE(dialogs.atRest());
}

TEST_F(TableOpsTest, ColumnSorts)
{
    add("b", "100", "0A");
    add("B", "9", "02");
    add("a", "10", "1");
    SortByColumn(table, ColNumber);
    EXPECT_EQ(column(ColNumber), QVector<QByteArray>({"9", "10", "100"}));
    SortByColumn(table, ColLanguageId);
    EXPECT_EQ(column(ColLanguageId), QVector<QByteArray>({"1", "02", "0A"}));
    SortByColumn(table, ColNumber);
    SortByColumn(table, ColLanguage); // by id, not by name
    EXPECT_EQ(column(ColLanguageId), QVector<QByteArray>({"1", "02", "0A"}));
    SortByColumn(table, ColWord);
    EXPECT_EQ(column(ColWord), QVector<QByteArray>({"a", "b", "B"}));
    const QVector<QByteArray> before = column(ColWord);
    SortByColumn(table, ColStatus);
    EXPECT_EQ(column(ColWord), before);
}

TEST_F(TableOpsTest, ComparisonsAreUnsignedAndABadTextLeavesTheOrder)
{
    const DictRow small {"x", "1", "01", "", ""};
    const DictRow big {"y", "FFFFFFFF", "FF", "", ""};
    EXPECT_EQ(CompareByNumber(small, big), -1);
    EXPECT_EQ(CompareByNumber(big, small), 1);
    EXPECT_EQ(CompareByNumber(small, small), 0);
    EXPECT_EQ(CompareByLanguageID(big, small), 1);

    add("c", "3");
    add("b", "x2");
    add("a", "1");
    EXPECT_THROW(SortByColumn(table, ColNumber), ConvertError);
    EXPECT_EQ(column(ColWord), QVector<QByteArray>({"c", "b", "a"}));
}

TEST_F(TableOpsTest, SuspendedUpdatesArriveAsOneReset)
{
    CountingObserver observer;
    table.setObserver(&observer);
    add("a");
    EXPECT_EQ(observer.other, 1);
    {
        UpdateScope outer(table);
        {
            UpdateScope inner(table);
            add("b");
            table.removeAt(0);
        }
        add("c");
        EXPECT_EQ(observer.resets, 0);
    }
    EXPECT_EQ(observer.resets, 1);
    EXPECT_EQ(observer.other, 1);
}

TEST_F(TableOpsTest, FindSelectsExactlyTheWordsThatBeginWithTheText)
{
    for (const char* w : {"ab", "abc", "Abc", "xab", "a"})
        add(w);
    table.setSelected(3, true);
    EXPECT_EQ(FindInTable(table, "ab"), (QVector<int>{0, 1}));
    QVector<int> selected;
    for (int i = 0; i < table.count(); ++i)
        if (table.row(i).selected)
            selected << i;
    EXPECT_EQ(selected, (QVector<int>{0, 1}));
    // An empty text finds nothing and keeps the selection.
    EXPECT_TRUE(FindInTable(table, "").isEmpty());
    EXPECT_TRUE(table.row(0).selected);
}
