// Editing the statistic list: the session behind the statistic window, from
// the list's rows to Save, To Dictionary or Cancel.
#pragma once

#include "core/lists/ListEditing.h"

namespace vexlon {

// The statistic list being edited.
class StatisticSession : public ListRows {
public:
    // Fills the rows from the statistic list, sorted by descending rating.
    explicit StatisticSession(ProgramState& state);

    bool unchanged() const { return m_unchanged; }

    // Each command that changes the rows is a step of the history, named by
    // its caption. Taking back or doing again To "White" List, To "Black"
    // List or Save puts the list it changed back and rewrites its file.

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
    bool confirmEdit(int index, const QString& typed);
    // Asks for a language and gives it to every selected row; does nothing,
    // without asking, when no row is selected.
    void setLanguage();
    // Sorts by a column in the window's order for it (reversed: the other
    // way round) and gives the direction it sorted in; nothing for a column
    // that does not sort.
    std::optional<Qt::SortOrder> sortByColumn(ListColumn column, bool reversed = false);

    // Save: drops the rows marked "Delete", sorts by rating, rebuilds the
    // statistic list from the rows, clears the marks and writes the file.
    void save(bool announce);
    // To Dictionary: for type 0 asks first (false on No); saves and fills the
    // dictionary table. True when the window closes.
    bool toDictionary(DictionaryTable& table);
    // Cancel: true when the window closes (after a question when something
    // was changed).
    bool cancel();

protected:
    ListSessionState capture() const override;
    void restore(ListSessionState state) override;

private:
    void addSelectedTo(TLST& list, const char* mark, bool white);

    ProgramState& m_state;
    bool m_unchanged = true;
};

} // namespace vexlon
