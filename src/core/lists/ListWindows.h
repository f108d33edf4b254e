// The rows of the white list, black list and statistic windows and every
// command of those windows, apart from the windows themselves: the windows
// present these rows and call these operations. Changes live in the rows,
// with a pending mark per row, until Apply (or Save) turns them into the
// list as a whole.
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

// Language order of the black list window: larger IDs first.
int CompareByLanguageIDDescending(const ListRow& a, const ListRow& b);

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

// The white list window (white) or the black list window (!white).
class ListWindowModel : public ListRows {
public:
    enum class Kind { White, Black };
    // Fills the rows from the list: the white list sorted by Index, the
    // black list by word.
    ListWindowModel(const ProgramState& state, Kind kind);

    Kind kind() const { return m_kind; }

    // Add: asks for a language; the white list inserts after the selected
    // row (position 1 when none) and renumbers the Index from there on, the
    // black list inserts at the top. Returns the new row's index, or -1.
    int add();
    void markDelete();
    void cancelDeletion();
    // Asks for a language and gives it to every selected row.
    void changeLanguage();
    // A confirmed in-place edit: the text as typed, marked "Edited". A word
    // holding ";" cannot be stored in the list file: the user is told and
    // the row keeps its word (false).
    bool confirmEdit(int index, const QByteArray& typed);
    // White list only: move the first selected row, which is then the only
    // selected row; false when it did not move.
    bool moveUp();
    bool moveDown();
    void sortByColumn(ListColumn column);

    // Apply: sorts by word, drops the rows marked "Delete" and the repeats of
    // each remaining row, lower-cases the words, and returns the new list.
    TLST apply() const;

private:
    void renumberFrom(int position);
    void selectOnly(int index);

    const ProgramState& m_state;
    Kind m_kind;
};

// Apply's walk over rows already in word order, for both windows; the white
// list keeps the Index as Number, the black list stores 0.
TLST applyListRows(const ProgramState& state, QVector<ListRow> rows, bool keepNumbers);

// The statistic window.
class StatisticWindowModel : public ListRows {
public:
    // Fills the rows from the statistic list, sorted by descending rating.
    explicit StatisticWindowModel(ProgramState& state);

    bool unchanged() const { return m_unchanged; }

    void markDelete();
    void cancelDeletion();
    // Adds every selected row the list lacks to the white or black list,
    // marks it, and writes the list's file.
    void toWhiteList();
    void toBlackList();
    // Set Reiting with the text typed into the prompt: empty or negative
    // leaves the ratings; a text that is not a number is reported. True when
    // the ratings were set.
    bool setRating(const QString& typed);
    bool confirmEdit(int index, const QByteArray& typed);
    // Asks for a language and gives it to every selected row; does nothing,
    // without asking, when no row is selected.
    void setLanguage();
    void sortByColumn(ListColumn column);

    // Save: drops the rows marked "Delete", sorts by rating, rebuilds the
    // statistic list from the rows, clears the marks and writes the file.
    void save(bool announce);
    // To Dictionary: for type 0 asks first (false on No); saves and fills the
    // dictionary table. True when the window closes.
    bool toDictionary(DictionaryTable& table);
    // Cancel: true when the window closes (after a question when something
    // was changed).
    bool cancel();

private:
    void addSelectedTo(TLST& list, const char* mark, bool white);

    ProgramState& m_state;
    bool m_unchanged = true;
};

} // namespace vexlon
