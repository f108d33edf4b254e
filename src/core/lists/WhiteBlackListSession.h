// Editing the white list or the black list: the session behind the white
// list and black list windows, from the list's rows to Apply.
#pragma once

#include "core/lists/ListEditing.h"

namespace vexlon {

// The white list (White) or the black list (Black) being edited.
class WhiteBlackListSession : public ListRows {
public:
    enum class Kind { White, Black };
    // Fills the rows from the list: the white list sorted by Index, the
    // black list by word.
    WhiteBlackListSession(const ProgramState& state, Kind kind);

    Kind kind() const { return m_kind; }

    // Each command that changes the rows is a step of the history, named by
    // its caption.

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
    bool confirmEdit(int index, const QString& typed);
    // White list only: move the first selected row, which is then the only
    // selected row; false when it did not move.
    bool moveUp();
    bool moveDown();
    // Sorts by a column in the window's order for it (reversed: the other
    // way round) and gives the direction it sorted in; nothing for a column
    // that does not sort.
    std::optional<Qt::SortOrder> sortByColumn(ListColumn column, bool reversed = false);

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

} // namespace vexlon
