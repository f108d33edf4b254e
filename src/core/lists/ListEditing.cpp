#include "core/lists/ListEditing.h"

#include "core/base/CodePage1251.h"
#include "core/base/Convert.h"
#include "core/base/Errors.h"
#include "core/dictionary/Editing.h"
#include "core/dictionary/LangStructure.h"
#include "core/lists/ListFiles.h"

#include <QCollatorSortKey>
#include <algorithm>
#include <numeric>
#include <vector>

namespace vexlon {

namespace {

// Reorders rows by a key per row, keeping the order of equal keys.
template <class Key, class Less>
void sortRows(QVector<ListRow>& rows, const std::vector<Key>& keys, Less less)
{
    std::vector<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return less(keys[static_cast<size_t>(a)], keys[static_cast<size_t>(b)]); });
    QVector<ListRow> sorted;
    sorted.reserve(rows.size());
    for (int i : order)
        sorted.append(std::move(rows[i]));
    rows = std::move(sorted);
}

// A number column as the table's comparisons read it: the Index as the
// decimal number the list file holds, the language ID as hexadecimal, both
// unsigned 32-bit; a text that does not read sorts after every number
// instead of stopping the window.
std::vector<uint64_t> numberKeys(const QVector<ListRow>& rows, bool languageColumn)
{
    std::vector<uint64_t> keys;
    keys.reserve(static_cast<size_t>(rows.size()));
    for (const ListRow& row : rows) {
        const auto value = languageColumn ? tryHexToInt(row.languageId) : tryStrToInt(row.number);
        keys.push_back(value ? static_cast<uint64_t>(static_cast<uint32_t>(*value)) : (uint64_t(1) << 32));
    }
    return keys;
}

// The number column read as a decimal rating, in the order ratings compare
// in (the unsigned value of the 32-bit rating); a text that does not read
// sorts after every rating.
std::vector<uint64_t> ratingKeys(const QVector<ListRow>& rows)
{
    std::vector<uint64_t> keys;
    keys.reserve(static_cast<size_t>(rows.size()));
    for (const ListRow& row : rows) {
        const auto value = tryStrToInt(row.number);
        keys.push_back(value ? static_cast<uint64_t>(static_cast<uint32_t>(*value)) : (uint64_t(1) << 32));
    }
    return keys;
}

} // namespace

namespace listediting {

void sortByWord(QVector<ListRow>& rows, bool reversed)
{
    std::vector<QCollatorSortKey> keys;
    keys.reserve(static_cast<size_t>(rows.size()));
    for (const ListRow& row : rows)
        keys.push_back(cp1251::collator().sortKey(row.word));
    if (reversed)
        sortRows(rows, keys, [](const QCollatorSortKey& a, const QCollatorSortKey& b) { return a.compare(b) > 0; });
    else
        sortRows(rows, keys, [](const QCollatorSortKey& a, const QCollatorSortKey& b) { return a.compare(b) < 0; });
}

void sortByNumber(QVector<ListRow>& rows, bool languageColumn, Qt::SortOrder order)
{
    if (order == Qt::DescendingOrder)
        sortRows(rows, numberKeys(rows, languageColumn), [](uint64_t a, uint64_t b) { return a > b; });
    else
        sortRows(rows, numberKeys(rows, languageColumn), [](uint64_t a, uint64_t b) { return a < b; });
}

void sortByRating(QVector<ListRow>& rows, Qt::SortOrder order)
{
    if (order == Qt::DescendingOrder)
        sortRows(rows, ratingKeys(rows), [](uint64_t a, uint64_t b) { return a > b; });
    else
        sortRows(rows, ratingKeys(rows), [](uint64_t a, uint64_t b) { return a < b; });
}

void sortAscending(QVector<ListRow>& rows, bool languageColumn)
{
    sortByNumber(rows, languageColumn, Qt::AscendingOrder);
}

void sortDescending(QVector<ListRow>& rows, bool languageColumn)
{
    sortByNumber(rows, languageColumn, Qt::DescendingOrder);
}

ListRow rowOf(const ProgramState& state, const QString& word, int32_t number, uint8_t id)
{
    ListRow row;
    row.word = word;
    row.number = QByteArray::number(number);
    row.languageId = byteToHex(id);
    row.language = LanguageName(state.langStructure, id);
    return row;
}

bool refuseUnstorable(const ProgramState& state, const QString& word)
{
    if (listCanStore(word))
        return false;
    state.ui().message(QStringLiteral("The word \"%1\" holds \";\" and cannot be stored in a list file; it was not changed.")
                           .arg(printable(cp1251::shown(word))));
    return true;
}

} // namespace listediting

namespace {

// Whether two states differ in more than the selection.
bool sameContent(const ListSessionState& a, const ListSessionState& b)
{
    const auto sameRow = [](const ListRow& x, const ListRow& y) {
        return x.word == y.word && x.number == y.number && x.languageId == y.languageId && x.language == y.language
               && x.action == y.action;
    };
    return a.rows.size() == b.rows.size()
           && (a.rows.constData() == b.rows.constData()
               || std::equal(a.rows.cbegin(), a.rows.cend(), b.rows.cbegin(), sameRow))
           && a.whiteList == b.whiteList && a.blackList == b.blackList && a.statisticList == b.statisticList;
}

} // namespace

ListRows::Step::~Step()
{
    ListSessionState after = m_owner.capture();
    if (!sameContent(m_before, after))
        m_owner.m_history.push(m_name, std::move(m_before));
}

ListSessionState ListRows::capture() const
{
    ListSessionState state;
    state.rows = m_rows;
    return state;
}

void ListRows::restore(ListSessionState state)
{
    m_rows = std::move(state.rows);
}

bool ListRows::undo()
{
    return restoreIfAny(m_history.undo(capture()));
}

bool ListRows::redo()
{
    return restoreIfAny(m_history.redo(capture()));
}

bool ListRows::restoreIfAny(std::optional<ListSessionState> state)
{
    if (!state)
        return false;
    restore(std::move(*state));
    return true;
}

void ListRows::selectAll()
{
    for (ListRow& row : m_rows)
        row.selected = true;
}

bool ListRows::setSelectedLanguage(const TLanguages& language)
{
    bool any = false;
    for (ListRow& row : m_rows) {
        if (!row.selected)
            continue;
        row.languageId = byteToHex(language.ID);
        row.language = language.Name;
        row.action = action::ChangeLanguage;
        any = true;
    }
    return any;
}

int ListRows::firstSelected() const
{
    for (int i = 0; i < count(); ++i) {
        if (m_rows[i].selected)
            return i;
    }
    return -1;
}

} // namespace vexlon
