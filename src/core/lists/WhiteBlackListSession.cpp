#include "core/lists/WhiteBlackListSession.h"

#include "core/base/CodePage1251.h"
#include "core/base/Convert.h"
#include "core/base/Errors.h"
#include "core/dictionary/Editing.h"
#include "core/dictionary/LangStructure.h"
#include "core/dictionary/WordIndex.h"
#include "core/lists/ListFiles.h"

#include <QHash>
#include <algorithm>

namespace vexlon {

using namespace listediting;

TLST applyListRows(const ProgramState& state, QVector<ListRow> rows, bool keepNumbers)
{
    const int n = static_cast<int>(rows.size());
    std::vector<bool> alive(static_cast<size_t>(n), true);
    // The live rows by their present word and language ID text: a row's
    // turn removes every other row of its group, then it moves to the group
    // of its lower-case word.
    QHash<QString, std::vector<int>> groups;
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
        row.word = cp1251::toLower(row.word);
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

WhiteBlackListSession::WhiteBlackListSession(const ProgramState& state, Kind kind) : m_state(state), m_kind(kind)
{
    const TLST& list = kind == Kind::White ? state.whiteList : state.blackList;
    for (const TLST_ITEM& item : list.Items)
        m_rows.append(rowOf(state, item.Word, item.Number, item.LanguageID));
    if (kind == Kind::White)
        sortAscending(m_rows, false);
    else
        sortByWord(m_rows);
}

void WhiteBlackListSession::selectOnly(int index)
{
    for (int i = 0; i < count(); ++i)
        m_rows[i].selected = i == index;
}

void WhiteBlackListSession::renumberFrom(int position)
{
    for (int i = qMax(0, position); i < count(); ++i)
        m_rows[i].number = QByteArray::number(i + 1);
}

int WhiteBlackListSession::add()
{
    Step step(*this, liststep::Add);
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

void WhiteBlackListSession::markDelete()
{
    Step step(*this, liststep::Delete);
    for (ListRow& row : m_rows) {
        if (row.selected)
            row.action = action::Delete;
    }
}

void WhiteBlackListSession::cancelDeletion()
{
    Step step(*this, liststep::CancelDeletion);
    for (ListRow& row : m_rows) {
        if (row.selected && row.action == action::Delete)
            row.action.clear();
    }
}

void WhiteBlackListSession::changeLanguage()
{
    Step step(*this, liststep::ChangeLanguage);
    if (const TLanguages* language = chooseLanguage(m_state, 9))
        setSelectedLanguage(*language);
}

bool WhiteBlackListSession::confirmEdit(int index, const QString& typed)
{
    if (index < 0 || index >= count() || refuseUnstorable(m_state, typed))
        return false;
    Step step(*this, liststep::Edit);
    m_rows[index].word = typed;
    m_rows[index].action = action::Edited;
    return true;
}

bool WhiteBlackListSession::moveUp()
{
    const int r = firstSelected();
    if (m_kind != Kind::White || r <= 0)
        return false;
    Step step(*this, liststep::MoveUp);
    m_rows.move(r, r - 1);
    renumberFrom(r - 1);
    selectOnly(r - 1);
    return true;
}

bool WhiteBlackListSession::moveDown()
{
    const int r = firstSelected();
    if (m_kind != Kind::White || r < 0 || r >= count() - 1)
        return false;
    Step step(*this, liststep::MoveDown);
    m_rows.move(r, r + 1);
    renumberFrom(0);
    selectOnly(r + 1);
    return true;
}

std::optional<Qt::SortOrder> WhiteBlackListSession::sortByColumn(ListColumn column, bool reversed)
{
    // The window's own order per column: words alphabetically, the Index
    // ascending, languages ascending in the white list and descending in the
    // black list, which has no Index.
    if (column == ListColumn::Action || (column == ListColumn::Number && m_kind == Kind::Black))
        return std::nullopt;
    const bool language = column == ListColumn::LanguageId || column == ListColumn::Language;
    Qt::SortOrder order = language && m_kind == Kind::Black ? Qt::DescendingOrder : Qt::AscendingOrder;
    if (reversed)
        order = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    Step step(*this, liststep::Sort);
    if (column == ListColumn::Word)
        sortByWord(m_rows, order == Qt::DescendingOrder);
    else
        sortByNumber(m_rows, column != ListColumn::Number, order);
    return order;
}

TLST WhiteBlackListSession::apply() const
{
    QVector<ListRow> rows = m_rows;
    sortByWord(rows);
    return applyListRows(m_state, std::move(rows), m_kind == Kind::White);
}

} // namespace vexlon
