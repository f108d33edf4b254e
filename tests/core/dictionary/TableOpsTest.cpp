#include "core/dictionary/TableOps.h"

#include "core/base/Errors.h"
#include "core/dictionary/Find.h"
#include "support/CoreFixture.h"

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
    // Rows of (word, number, language ID).
    void addNumbered(std::initializer_list<std::array<const char*, 3>> rows)
    {
        for (const auto& [word, number, id] : rows)
            table.append(row(word, id, status::UsersDictionary, number));
    }
};

TEST_F(TableOpsTest, FreeBytesAndTheStatusLineRenumberAndColumnSorts)
{
    state.texts.messages[0] = QStringLiteral("Free: ");
    state.texts.messages[1] = QStringLiteral("Words: ");
    state.texts.messages[2] = QStringLiteral("Full");
    EXPECT_EQ(FreeBytes(state, table), 5081);
    EXPECT_TRUE(dialogs.captions.isEmpty()); // no progress for an empty table
    EXPECT_EQ(dictionaryStatusLine(state, table).text, QStringLiteral("Free: 5081 b, Words: 0"));
    for (const char* w : {"a", "ab", "abc"})
        add(w);
    EXPECT_EQ(FreeBytes(state, table), 5081 - 6 - 8 - 8);
    table.clear();
    add(QByteArray(257, 'x')); // the length is taken modulo 256
    EXPECT_EQ(FreeBytes(state, table), 5081 - 6);
    EXPECT_TRUE(dialogs.atRest());

    // Twenty 254-byte records take 5080 of the 5081 bytes.
    table.clear();
    for (int i = 0; i < 20; ++i)
        add(QByteArray(249, 'x'));
    EXPECT_EQ(FreeBytes(state, table), 1);
    EXPECT_TRUE(RefreshDictionaryStatus(state, table));
    add("z");
    const DictionaryStatusLine line = dictionaryStatusLine(state, table);
    EXPECT_FALSE(line.fits);
    EXPECT_EQ(line.text, QStringLiteral("Full, Words: 21"));

    // An exact fit leaves nothing free, and that is not a fit.
    state.settings.UsersDictionarySize = 19 + 8 * 10;
    table.clear();
    for (int i = 0; i < 10; ++i)
        add("ab");
    EXPECT_EQ(FreeBytes(state, table), 0);
    EXPECT_FALSE(RefreshDictionaryStatus(state, table));

    // Renumbering clamps its range.
    table.clear();
    addNumbered({{"a", "77", "01"}, {"b", "5", "01"}, {"c", "0", "01"}});
    RenumberRows(state, table, -5, 1000);
    EXPECT_EQ(column(ColNumber), QList<QByteArray>({"1", "2", "3"}));
    EXPECT_TRUE(table.modified);
    table.setCell(0, ColNumber, "9");
    RenumberRows(state, table, 1, 1);
    EXPECT_EQ(column(ColNumber), QList<QByteArray>({"9", "2", "3"}));
    EXPECT_TRUE(dialogs.atRest());

    // Numbers sort as the unsigned 32-bit values of the decimals the files
    // hold: 100000000 (too large to read as hexadecimal) before a
    // hand-edited -1.
    table.clear();
    addNumbered({{"b", "100000000", "0A"}, {"B", "-1", "02"}, {"a", "10", "1"}});
    SortByColumn(table, ColNumber);
    EXPECT_EQ(column(ColNumber), QList<QByteArray>({"10", "100000000", "-1"}));
    SortByColumn(table, ColLanguageId);
    EXPECT_EQ(column(ColLanguageId), QList<QByteArray>({"1", "02", "0A"}));
    SortByColumn(table, ColNumber);
    SortByColumn(table, ColLanguage); // by id, not by name
    EXPECT_EQ(column(ColLanguageId), QList<QByteArray>({"1", "02", "0A"}));
    SortByColumn(table, ColWord);
    EXPECT_EQ(column(ColWord), QList<QByteArray>({"a", "b", "B"}));
    SortByColumn(table, ColStatus);
    EXPECT_EQ(column(ColWord), QList<QByteArray>({"a", "b", "B"}));
    EXPECT_EQ(std::tuple(CompareByNumber(table.row(0), table.row(2)), CompareByNumber(table.row(2), table.row(0)),
                         CompareByNumber(table.row(1), table.row(1)), CompareByLanguageID(table.row(1), table.row(0))),
              std::tuple(-1, 1, 0, 1));

    table.setCell(1, ColNumber, "x2");
    EXPECT_THROW(SortByColumn(table, ColNumber), ConvertError);
    EXPECT_EQ(column(ColWord), QList<QByteArray>({"a", "b", "B"}));
}

TEST_F(TableOpsTest, SuspendedUpdatesArriveAsOneResetAndFindSelectsByPrefix)
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
    EXPECT_EQ(std::pair(observer.resets, observer.other), std::pair(1, 1));

    // Find selects exactly the words that begin with the text.
    table.setObserver(nullptr);
    table.clear();
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
