#include "core/lists/ListWindows.h"

#include "core/base/Ansi.h"
#include "core/base/Convert.h"
#include "core/base/Errors.h"
#include "core/dictionary/Editing.h"
#include "core/dictionary/LangStructure.h"
#include "core/dictionary/WordIndex.h"
#include "core/lists/ListFiles.h"
#include "core/lists/Statistics.h"

#include <QCollatorSortKey>
#include <QHash>
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
        sorted.append(rows[i]);
    rows = std::move(sorted);
}

void sortByWord(QVector<ListRow>& rows)
{
    std::vector<QCollatorSortKey> keys;
    keys.reserve(static_cast<size_t>(rows.size()));
    for (const ListRow& row : rows)
        keys.push_back(ansi::collator().sortKey(ansi::toUnicode(row.word)));
    sortRows(rows, keys, [](const QCollatorSortKey& a, const QCollatorSortKey& b) { return a.compare(b) < 0; });
}

// A number column read as hexadecimal, as the table's comparisons read it;
// a text that does not read (a negative number from a hand-edited file)
// sorts after every number instead of stopping the window.
std::vector<uint64_t> hexKeys(const QVector<ListRow>& rows, bool languageColumn)
{
    std::vector<uint64_t> keys;
    keys.reserve(static_cast<size_t>(rows.size()));
    for (const ListRow& row : rows) {
        const auto value = tryHexToInt(languageColumn ? row.languageId : row.number);
        keys.push_back(value ? static_cast<uint64_t>(static_cast<uint32_t>(*value)) : (uint64_t(1) << 32));
    }
    return keys;
}

void sortAscending(QVector<ListRow>& rows, bool languageColumn)
{
    sortRows(rows, hexKeys(rows, languageColumn), [](uint64_t a, uint64_t b) { return a < b; });
}

void sortDescending(QVector<ListRow>& rows, bool languageColumn)
{
    sortRows(rows, hexKeys(rows, languageColumn), [](uint64_t a, uint64_t b) { return a > b; });
}

ListRow rowOf(const ProgramState& state, const QByteArray& word, int32_t number, uint8_t id)
{
    ListRow row;
    row.word = word;
    row.number = QByteArray::number(number);
    row.languageId = byteToHex(id);
    row.language = LanguageName(state.langStructure, id);
    return row;
}

bool refuseUnstorable(const ProgramState& state, const QByteArray& word)
{
    if (listCanStore(word))
        return false;
    state.ui().message(QStringLiteral("The word \"%1\" holds \";\" and cannot be stored in a list file; it was not changed.")
                           .arg(printable(ansi::toUnicode(word))));
    return true;
}

} // namespace

int CompareByLanguageIDDescending(const ListRow& a, const ListRow& b)
{
    const auto x = static_cast<uint32_t>(hexToInt(a.languageId));
    const auto y = static_cast<uint32_t>(hexToInt(b.languageId));
    return x > y ? -1 : (x < y ? 1 : 0);
}

TLST applyListRows(const ProgramState& state, QVector<ListRow> rows, bool keepNumbers)
{
    const int n = static_cast<int>(rows.size());
    std::vector<bool> alive(static_cast<size_t>(n), true);
    // The live rows by their present word and language ID text: a row's
    // turn removes every other row of its group, then it moves to the group
    // of its lower-case word.
    QHash<QByteArray, std::vector<int>> groups;
    groups.reserve(n);
    for (int i = 0; i < n; ++i)
        groups[wordAndTextKey(rows[i].word, rows[i].languageId)].push_back(i);
    for (int i = 0; i < n; ++i) {
        if (!alive[static_cast<size_t>(i)])
            continue;
        ListRow& row = rows[i];
        if (row.action == action::Delete) {
            alive[static_cast<size_t>(i)] = false;
            continue;
        }
        std::vector<int>& group = groups[wordAndTextKey(row.word, row.languageId)];
        for (int j : group) {
            if (j != i)
                alive[static_cast<size_t>(j)] = false;
        }
        group.clear();
        row.word = ansi::toLower(row.word);
        groups[wordAndTextKey(row.word, row.languageId)].push_back(i);
    }
    TLST list;
    for (int i = 0; i < n; ++i) {
        if (!alive[static_cast<size_t>(i)])
            continue;
        TLST_ITEM item;
        item.Word = rows[i].word;
        item.Number = keepNumbers ? strToInt(rows[i].number) : 0;
        item.LanguageID = static_cast<uint8_t>(hexToInt(rows[i].languageId) & 0xFF);
        item.LanguageTitle = LanguageName(state.langStructure, item.LanguageID);
        list.Items.append(item);
    }
    list.Count = static_cast<int>(list.Items.size());
    return list;
}

// ---- white and black list windows ----

ListWindowModel::ListWindowModel(const ProgramState& state, Kind kind) : m_state(state), m_kind(kind)
{
    const TLST& list = kind == Kind::White ? state.whiteList : state.blackList;
    for (const TLST_ITEM& item : list.Items)
        m_rows.append(rowOf(state, item.Word, item.Number, item.LanguageID));
    if (kind == Kind::White)
        sortAscending(m_rows, false);
    else
        sortByWord(m_rows);
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

void ListWindowModel::selectOnly(int index)
{
    for (int i = 0; i < count(); ++i)
        m_rows[i].selected = i == index;
}

void ListWindowModel::renumberFrom(int position)
{
    for (int i = qMax(0, position); i < count(); ++i)
        m_rows[i].number = QByteArray::number(i + 1);
}

int ListWindowModel::add()
{
    if (m_kind == Kind::Black) {
        const TLanguages* language = chooseLanguage(m_state, 6);
        if (!language)
            return -1;
        ListRow row = rowOf(m_state, "new", 0, language->ID);
        row.language = language->Name;
        m_rows.prepend(row);
        return 0;
    }
    const int selected = firstSelected();
    const int p = selected >= 0 ? selected + 1 : 1;
    const TLanguages* language = chooseLanguage(m_state, 6);
    int inserted = -1;
    if (language) {
        ListRow row = rowOf(m_state, "new", p, language->ID);
        row.language = language->Name;
        inserted = qMin(p, count());
        m_rows.insert(inserted, row);
    }
    renumberFrom(p);
    return inserted;
}

void ListWindowModel::markDelete()
{
    for (ListRow& row : m_rows) {
        if (row.selected)
            row.action = action::Delete;
    }
}

void ListWindowModel::cancelDeletion()
{
    for (ListRow& row : m_rows) {
        if (row.selected && row.action == action::Delete)
            row.action.clear();
    }
}

void ListWindowModel::changeLanguage()
{
    if (const TLanguages* language = chooseLanguage(m_state, 9))
        setSelectedLanguage(*language);
}

bool ListWindowModel::confirmEdit(int index, const QByteArray& typed)
{
    if (index < 0 || index >= count() || refuseUnstorable(m_state, typed))
        return false;
    m_rows[index].word = typed;
    m_rows[index].action = action::Edited;
    return true;
}

bool ListWindowModel::moveUp()
{
    const int r = firstSelected();
    if (m_kind != Kind::White || r <= 0)
        return false;
    m_rows.move(r, r - 1);
    renumberFrom(r - 1);
    selectOnly(r - 1);
    return true;
}

bool ListWindowModel::moveDown()
{
    const int r = firstSelected();
    if (m_kind != Kind::White || r < 0 || r >= count() - 1)
        return false;
    m_rows.move(r, r + 1);
    renumberFrom(0);
    selectOnly(r + 1);
    return true;
}

void ListWindowModel::sortByColumn(ListColumn column)
{
    switch (column) {
    case ListColumn::Word:
        sortByWord(m_rows);
        break;
    case ListColumn::Number:
        if (m_kind == Kind::White)
            sortAscending(m_rows, false);
        break;
    case ListColumn::LanguageId:
    case ListColumn::Language:
        if (m_kind == Kind::White)
            sortAscending(m_rows, true);
        else
            sortDescending(m_rows, true);
        break;
    case ListColumn::Action:
        break;
    }
}

TLST ListWindowModel::apply() const
{
    QVector<ListRow> rows = m_rows;
    sortByWord(rows);
    return applyListRows(m_state, std::move(rows), m_kind == Kind::White);
}

// ---- statistic window ----

StatisticWindowModel::StatisticWindowModel(ProgramState& state) : m_state(state)
{
    for (const TSTATLST_ITEM& item : state.statisticList.Items)
        m_rows.append(rowOf(state, item.Word, item.Rating, item.LanguageID));
    sortDescending(m_rows, false);
}

void StatisticWindowModel::markDelete()
{
    bool any = false;
    for (ListRow& row : m_rows) {
        if (row.selected) {
            row.action = action::Delete;
            any = true;
        }
    }
    if (any)
        m_unchanged = false;
}

void StatisticWindowModel::cancelDeletion()
{
    for (ListRow& row : m_rows) {
        if (row.selected && row.action == action::Delete)
            row.action.clear();
    }
}

void StatisticWindowModel::addSelectedTo(TLST& list, const char* mark, bool white)
{
    bool any = false;
    FirstEntryIndex index;
    index.build(list.Items);
    for (ListRow& row : m_rows) {
        if (!row.selected)
            continue;
        any = true;
        const auto id = static_cast<uint8_t>(hexToInt(row.languageId) & 0xFF);
        if (index.contains(row.word, id))
            continue;
        AppendListEntry(list, index, row.word, row.number, id, row.language);
        row.action = mark;
    }
    if (any)
        WriteProgramList(m_state, white ? ListKind::White : ListKind::Black);
}

void StatisticWindowModel::toWhiteList()
{
    addSelectedTo(m_state.whiteList, action::AddedToWhiteList, true);
}

void StatisticWindowModel::toBlackList()
{
    addSelectedTo(m_state.blackList, action::AddedToBlackList, false);
}

bool StatisticWindowModel::setRating(const QString& typed)
{
    if (typed.isEmpty())
        return false;
    const QByteArray text = ansi::fromUnicode(typed);
    const std::optional<int32_t> value = tryStrToInt(text);
    if (!value) {
        m_state.ui().message(ConvertError(typed).message());
        return false;
    }
    if (*value < 0)
        return false;
    bool any = false;
    for (ListRow& row : m_rows) {
        if (row.selected) {
            row.number = QByteArray::number(*value);
            any = true;
        }
    }
    if (any)
        m_unchanged = false;
    return any;
}

bool StatisticWindowModel::confirmEdit(int index, const QByteArray& typed)
{
    if (index < 0 || index >= count() || refuseUnstorable(m_state, typed))
        return false;
    m_rows[index].word = typed;
    m_rows[index].action = action::Edited;
    m_unchanged = false;
    return true;
}

void StatisticWindowModel::setLanguage()
{
    if (!hasSelection())
        return;
    if (const TLanguages* language = chooseLanguage(m_state, 9)) {
        if (setSelectedLanguage(*language))
            m_unchanged = false;
    }
}

void StatisticWindowModel::sortByColumn(ListColumn column)
{
    switch (column) {
    case ListColumn::Word:
        sortByWord(m_rows);
        break;
    case ListColumn::Number:
        sortDescending(m_rows, false);
        break;
    case ListColumn::LanguageId:
    case ListColumn::Language:
        sortAscending(m_rows, true);
        break;
    case ListColumn::Action:
        break;
    }
}

void StatisticWindowModel::save(bool announce)
{
    QVector<ListRow> rows;
    rows.reserve(m_rows.size());
    for (const ListRow& row : m_rows) {
        if (row.action != action::Delete)
            rows.append(row);
    }
    sortDescending(rows, false);
    TSTATLST list;
    list.Items.reserve(rows.size());
    for (ListRow& row : rows) {
        TSTATLST_ITEM item;
        item.Word = row.word;
        item.Rating = strToInt(row.number);
        item.LanguageID = static_cast<uint8_t>(hexToInt(row.languageId) & 0xFF);
        item.LanguageTitle = row.language;
        list.Items.append(item);
        row.action.clear();
    }
    list.Count = static_cast<int>(list.Items.size());
    m_rows = std::move(rows);
    m_state.statisticList = std::move(list);
    WriteProgramList(m_state, ListKind::Statistic);
    if (announce)
        m_state.ui().message(m_state.texts.MESSAGES(28));
}

bool StatisticWindowModel::toDictionary(DictionaryTable& table)
{
    if (m_state.settings.StatisticType == 0
        && !m_state.ui().confirm(m_state.texts.MESSAGES(30), ConfirmKind::Confirmation))
        return false;
    save(false);
    FillDictionaryFromStatistic(m_state, table);
    return true;
}

bool StatisticWindowModel::cancel()
{
    if (m_unchanged)
        return true;
    return m_state.ui().confirm(m_state.texts.MESSAGES(29), ConfirmKind::Confirmation);
}

} // namespace vexlon
