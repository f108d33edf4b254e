#include "core/dictionary/TableOps.h"

#include "core/base/CodePage1251.h"
#include "core/base/Convert.h"

#include <QCollatorSortKey>
#include <algorithm>
#include <numeric>
#include <vector>
#include <charconv>

namespace vexlon {

namespace {

int compareUnsigned(int32_t a, int32_t b)
{
    const auto ua = static_cast<uint32_t>(a);
    const auto ub = static_cast<uint32_t>(b);
    return ua > ub ? 1 : (ua < ub ? -1 : 0);
}

// The value a cell is compared by: the Number column as the decimal number
// it holds, the language ID as hexadecimal, both as unsigned 32-bit values.
// Throws ConvertError for a text that is not a number.
uint32_t columnKey(const DictRow& row, int column)
{
    return static_cast<uint32_t>(column == ColNumber ? strToInt(row.number) : hexToInt(row.cell(column)));
}

// Reorders the table by numeric keys taken from one column; all keys are
// converted first so that a bad text leaves the table as it was.
void sortByNumberColumn(DictionaryTable& table, int column, bool descending = false)
{
    const QVector<DictRow>& rows = table.rows();
    std::vector<uint32_t> keys(static_cast<size_t>(rows.size()));
    for (qsizetype i = 0; i < rows.size(); ++i)
        keys[static_cast<size_t>(i)] = columnKey(rows[i], column);
    std::vector<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const uint32_t ka = keys[static_cast<size_t>(a)];
        const uint32_t kb = keys[static_cast<size_t>(b)];
        return descending ? kb < ka : ka < kb;
    });
    QVector<DictRow> sorted;
    sorted.reserve(rows.size());
    for (int i : order)
        sorted.append(rows[i]);
    table.replaceAll(std::move(sorted));
}

} // namespace

int32_t FreeBytes(const ProgramState& state, const DictionaryTable& table)
{
    const int32_t available = state.settings.UsersDictionarySize - 19;
    if (table.isEmpty())
        return available;
    ProgressScope progress(state.ui(), state.texts.STAT(1));
    int64_t sum = 0;
    const int last = table.count() - 1;
    for (int i = 0; i < table.count(); ++i) {
        progress.show(i, last);
        sum += recordSize(table.row(i).word.size());
    }
    return static_cast<int32_t>(available - sum);
}

DictionaryStatusLine dictionaryStatusLine(const ProgramState& state, const DictionaryTable& table)
{
    const int32_t free = FreeBytes(state, table);
    DictionaryStatusLine line;
    const QString words = state.texts.MESSAGES(1) + QString::number(table.count());
    if (free > 0) {
        line.text = state.texts.MESSAGES(0) + QString::number(free) + QLatin1String(" b, ") + words;
        line.fits = true;
    } else {
        line.text = state.texts.MESSAGES(2) + QLatin1String(", ") + words;
        line.fits = false;
    }
    return line;
}

bool RefreshDictionaryStatus(const ProgramState& state, const DictionaryTable& table)
{
    const DictionaryStatusLine line = dictionaryStatusLine(state, table);
    state.ui().dictionaryStatus(line.text, line.fits);
    return line.fits;
}

void RenumberRows(const ProgramState& state, DictionaryTable& table, int from, int to)
{
    ProgressScope progress(state.ui(), state.texts.STAT(5));
    if (to > table.count() - 1)
        to = table.count() - 1;
    if (from < 0)
        from = 0;
    if (!table.isEmpty()) {
        UpdateScope update(table);
        for (int i = from; i <= to; ++i) {
            // A row already numbered so keeps its text.
            char digits[16];
            const auto end = std::to_chars(digits, digits + sizeof digits, i + 1).ptr;
            const QByteArrayView number(digits, end - digits);
            if (table.row(i).number != number)
                table.setCell(i, ColNumber, number.toByteArray());
            progress.show(i, to);
        }
    }
    table.modified = true;
}

int32_t rowLanguageId(const DictRow& row)
{
    return hexToInt(row.languageId);
}

int CompareByNumber(const DictRow& a, const DictRow& b)
{
    return compareUnsigned(strToInt(a.number), strToInt(b.number));
}

int CompareByLanguageID(const DictRow& a, const DictRow& b)
{
    return compareUnsigned(hexToInt(a.languageId), hexToInt(b.languageId));
}

void SortByColumn(DictionaryTable& table, int column, bool descending)
{
    UpdateScope update(table);
    switch (column) {
    case ColWord: {
        const QVector<DictRow>& rows = table.rows();
        std::vector<QCollatorSortKey> keys;
        keys.reserve(static_cast<size_t>(rows.size()));
        for (const DictRow& row : rows)
            keys.push_back(cp1251::collator().sortKey(row.word));
        std::vector<int> order(keys.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            const int c = keys[static_cast<size_t>(a)].compare(keys[static_cast<size_t>(b)]);
            return descending ? c > 0 : c < 0;
        });
        QVector<DictRow> sorted;
        sorted.reserve(rows.size());
        for (int i : order)
            sorted.append(rows[i]);
        table.replaceAll(std::move(sorted));
        break;
    }
    case ColNumber:
        sortByNumberColumn(table, ColNumber, descending);
        break;
    case ColLanguageId:
    case ColLanguage:
        sortByNumberColumn(table, ColLanguageId, descending);
        break;
    default:
        break;
    }
}

void SortByNumber(DictionaryTable& table)
{
    UpdateScope update(table);
    sortByNumberColumn(table, ColNumber);
}

} // namespace vexlon
