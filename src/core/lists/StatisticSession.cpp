#include "core/lists/StatisticSession.h"

#include "core/base/CodePage1251.h"
#include "core/base/Convert.h"
#include "core/base/Errors.h"
#include "core/dictionary/Editing.h"
#include "core/dictionary/LangStructure.h"
#include "core/lists/ListFiles.h"
#include "core/lists/Statistics.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <exception>
#include <optional>
#include <vector>

namespace vexlon {

using namespace listediting;

StatisticSession::StatisticSession(ProgramState& state) : m_state(state)
{
    // The rows are made in descending rating order (equal ratings in list
    // order) straight from the numbers; the ID and name texts of a language
    // are made once and shared by its rows.
    // Each key holds the rating's complement above the position, so that
    // ascending keys are descending ratings with ties in list order; a list
    // saved before is in that order already.
    const QVector<TSTATLST_ITEM>& items = state.statisticList.Items;
    std::vector<uint64_t> order;
    order.reserve(static_cast<size_t>(items.size()));
    for (qsizetype i = 0; i < items.size(); ++i)
        order.push_back((static_cast<uint64_t>(~static_cast<uint32_t>(items[i].Rating)) << 32) | static_cast<uint64_t>(i));
    if (!std::is_sorted(order.begin(), order.end()))
        std::sort(order.begin(), order.end());
    std::array<std::optional<ListRow>, 256> languages;
    // The entries are read in list order, where they and their words lie
    // one after the other in memory, and each row is put in its place.
    std::vector<int> placeOf(static_cast<size_t>(items.size()));
    for (size_t place = 0; place < order.size(); ++place)
        placeOf[static_cast<size_t>(order[place] & 0xFFFFFFFFu)] = static_cast<int>(place);
    std::vector<uint64_t>().swap(order);
    // Most ratings are small; rows of one small rating share its text.
    constexpr int32_t kSharedRatings = 4096;
    std::vector<QByteArray> ratingTexts(kSharedRatings);
    m_rows.resize(items.size());
    for (qsizetype i = 0; i < items.size(); ++i) {
        const TSTATLST_ITEM& item = items[i];
        std::optional<ListRow>& language = languages[item.LanguageID];
        if (!language)
            language = rowOf(state, QString(), 0, item.LanguageID);
        ListRow& row = m_rows[placeOf[static_cast<size_t>(i)]];
        row.word = item.Word;
        if (item.Rating >= 0 && item.Rating < kSharedRatings) {
            QByteArray& text = ratingTexts[static_cast<size_t>(item.Rating)];
            if (text.isNull())
                text = QByteArray::number(item.Rating);
            row.number = text;
        } else {
            row.number = QByteArray::number(item.Rating);
        }
        row.languageId = language->languageId;
        row.language = language->language;
    }
}

ListSessionState StatisticSession::capture() const
{
    ListSessionState state = ListRows::capture();
    state.whiteList = m_state.whiteList;
    state.blackList = m_state.blackList;
    state.statisticList = m_state.statisticList;
    state.unchanged = m_unchanged;
    return state;
}

void StatisticSession::restore(ListSessionState state)
{
    // Everything is back in memory before a file is written, and every
    // changed file is written even when an earlier one fails.
    const bool white = state.whiteList != m_state.whiteList;
    const bool black = state.blackList != m_state.blackList;
    const bool statistic = state.statisticList != m_state.statisticList;
    m_state.whiteList = std::move(state.whiteList);
    m_state.blackList = std::move(state.blackList);
    m_state.statisticList = std::move(state.statisticList);
    m_unchanged = state.unchanged;
    ListRows::restore(std::move(state));
    std::exception_ptr failure;
    const auto write = [&](bool changed, ListKind kind) {
        try {
            if (changed)
                WriteProgramList(m_state, kind);
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
    };
    write(white, ListKind::White);
    write(black, ListKind::Black);
    write(statistic, ListKind::Statistic);
    if (failure)
        std::rethrow_exception(failure);
}

void StatisticSession::markDelete()
{
    Step step(*this, liststep::Delete);
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

void StatisticSession::cancelDeletion()
{
    Step step(*this, liststep::CancelDeletion);
    for (ListRow& row : m_rows) {
        if (row.selected && row.action == action::Delete)
            row.action.clear();
    }
}

void StatisticSession::addSelectedTo(TLST& list, const char* mark, bool white)
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

void StatisticSession::toWhiteList()
{
    Step step(*this, liststep::ToWhiteList);
    addSelectedTo(m_state.whiteList, action::AddedToWhiteList, true);
}

void StatisticSession::toBlackList()
{
    Step step(*this, liststep::ToBlackList);
    addSelectedTo(m_state.blackList, action::AddedToBlackList, false);
}

bool StatisticSession::setRating(const QString& typed)
{
    if (typed.isEmpty())
        return false;
    const QByteArray text = cp1251::fromUnicode(typed);
    const std::optional<int32_t> value = tryStrToInt(text);
    if (!value) {
        m_state.ui().message(ConvertError(typed).message());
        return false;
    }
    if (*value < 0)
        return false;
    Step step(*this, liststep::SetRating);
    const QByteArray rating = QByteArray::number(*value);
    bool any = false;
    for (ListRow& row : m_rows) {
        if (row.selected) {
            row.number = rating;
            any = true;
        }
    }
    if (any)
        m_unchanged = false;
    return any;
}

bool StatisticSession::confirmEdit(int index, const QString& typed)
{
    if (index < 0 || index >= count() || refuseUnstorable(m_state, typed))
        return false;
    Step step(*this, liststep::Edit);
    m_rows[index].word = typed;
    m_rows[index].action = action::Edited;
    m_unchanged = false;
    return true;
}

void StatisticSession::setLanguage()
{
    if (!hasSelection())
        return;
    if (const TLanguages* language = chooseLanguage(m_state, 9)) {
        Step step(*this, liststep::SetLanguage);
        if (setSelectedLanguage(*language))
            m_unchanged = false;
    }
}

std::optional<Qt::SortOrder> StatisticSession::sortByColumn(ListColumn column, bool reversed)
{
    // The window's own order per column: words alphabetically, the highest
    // rating first, languages ascending.
    if (column == ListColumn::Action)
        return std::nullopt;
    Qt::SortOrder order = column == ListColumn::Number ? Qt::DescendingOrder : Qt::AscendingOrder;
    if (reversed)
        order = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    Step step(*this, liststep::Sort);
    if (column == ListColumn::Word)
        sortByWord(m_rows, order == Qt::DescendingOrder);
    else if (column == ListColumn::Number)
        sortByRating(m_rows, order);
    else
        sortByNumber(m_rows, true, order);
    return order;
}

void StatisticSession::save(bool announce)
{
    Step step(*this, liststep::Save);
    QVector<ListRow> rows;
    rows.reserve(m_rows.size());
    for (const ListRow& row : m_rows) {
        if (row.action != action::Delete)
            rows.append(row);
    }
    sortByRating(rows, Qt::DescendingOrder);
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

bool StatisticSession::toDictionary(DictionaryTable& table)
{
    if (m_state.settings.StatisticType == 0
        && !m_state.ui().confirm(m_state.texts.MESSAGES(30), ConfirmKind::Confirmation))
        return false;
    save(false);
    FillDictionaryFromStatistic(m_state, table);
    return true;
}

bool StatisticSession::cancel()
{
    if (m_unchanged)
        return true;
    return m_state.ui().confirm(m_state.texts.MESSAGES(29), ConfirmKind::Confirmation);
}

} // namespace vexlon
