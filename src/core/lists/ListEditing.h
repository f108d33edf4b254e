// What the white list, black list and statistic editing sessions share: the
// rows they present, each with a pending mark, and their selection. Changes
// live in the rows until Apply (or Save) turns them into the list as a
// whole; the windows present these rows and call the sessions' commands.
#pragma once

#include "core/base/ProgramState.h"
#include "core/dictionary/DictionaryTable.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace vexlon {

namespace action {
inline const char* const Delete = "Delete";
inline const char* const Edited = "Edited";
inline const char* const ChangeLanguage = "Change Language";
inline const char* const AddedToWhiteList = "Added to White List";
inline const char* const AddedToBlackList = "Added to Black List";
} // namespace action

// One row of a list window: word, Index or rating, language ID (two hex
// digits), language name, pending mark.
struct ListRow {
    QByteArray word;
    QByteArray number;
    QByteArray languageId;
    QByteArray language;
    QByteArray action;
    bool selected = false;
    bool operator==(const ListRow&) const = default;
};

// Columns of the white list window; the black list window has no Index
// column, so its columns are Word, LanguageId, Language, Action.
enum class ListColumn { Word, Number, LanguageId, Language, Action };

// The rows of a list window and their selection.
class ListRows {
public:
    const QVector<ListRow>& rows() const { return m_rows; }
    int count() const { return static_cast<int>(m_rows.size()); }
    void setSelected(int index, bool selected) { m_rows[index].selected = selected; }
    void selectAll();
    int firstSelected() const;
    bool hasSelection() const { return firstSelected() >= 0; }

protected:
    // Gives every selected row the language, marked "Change Language"; true
    // when some row was selected.
    bool setSelectedLanguage(const TLanguages& language);

    QVector<ListRow> m_rows;
};

namespace listediting {

// Row orders of the sessions; equal keys keep their order.
void sortByWord(QVector<ListRow>& rows);
void sortAscending(QVector<ListRow>& rows, bool languageColumn);
void sortDescending(QVector<ListRow>& rows, bool languageColumn);
// A row for a list entry, its language name from the structure.
ListRow rowOf(const ProgramState& state, const QByteArray& word, int32_t number, uint8_t id);
// True, after telling the user, when the word cannot be stored in a list file.
bool refuseUnstorable(const ProgramState& state, const QByteArray& word);

} // namespace listediting

} // namespace vexlon
