// What the white list, black list and statistic editing sessions share: the
// rows they present, each with a pending mark, their selection, and the
// history of the commands that changed them. Changes live in the rows until
// Apply (or Save) turns them into the list as a whole; the windows present
// these rows and call the sessions' commands.
#pragma once

#include "core/base/ProgramState.h"
#include "core/base/UndoStack.h"
#include "core/dictionary/DictionaryTable.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <optional>

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
    QString word;
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

// The names of the steps in a list window's history: the captions of the
// commands that make them.
namespace liststep {
inline const char* const Add = "Add";
inline const char* const Delete = "Delete";
inline const char* const CancelDeletion = "Cancel Deletion";
inline const char* const ChangeLanguage = "Change Language";
inline const char* const SetLanguage = "Set Language";
inline const char* const Edit = "Edit";
inline const char* const MoveUp = "Move Up";
inline const char* const MoveDown = "Move Down";
inline const char* const Sort = "Sort";
inline const char* const SetRating = "Set Reiting";
inline const char* const ToWhiteList = "To \"White\" List";
inline const char* const ToBlackList = "To \"Black\" List";
inline const char* const Save = "Save";
} // namespace liststep

// What a step of a list window's history brings back: the rows with their
// selection; for the statistic window also the program's lists, which its
// commands change at once, and whether the window counts as unchanged.
struct ListSessionState {
    QVector<ListRow> rows;
    TLST whiteList;
    TLST blackList;
    TSTATLST statisticList;
    bool unchanged = true;
};

// The rows of a list window, their selection and their history.
class ListRows {
public:
    // The history keeps this many steps; older ones are dropped. A step of
    // a statistic window of 11,000 words holds about 1.4 MB of rows.
    static constexpr std::size_t kHistoryDepth = 100;

    ListRows() = default;
    virtual ~ListRows() = default;
    ListRows(const ListRows&) = delete;
    ListRows& operator=(const ListRows&) = delete;

    const QVector<ListRow>& rows() const { return m_rows; }
    int count() const { return static_cast<int>(m_rows.size()); }
    void setSelected(int index, bool selected) { m_rows[index].selected = selected; }
    void selectAll();
    int firstSelected() const;
    bool hasSelection() const { return firstSelected() >= 0; }

    // Undo takes back the last command that changed something, redo does
    // again the last one taken back; both false when there is none. A
    // command that changes something drops what could be redone. The names
    // are the commands' captions (empty when there is nothing to take back
    // or do again). Errors writing a list file back are thrown after
    // everything is restored in memory.
    bool canUndo() const { return m_history.canUndo(); }
    bool canRedo() const { return m_history.canRedo(); }
    QString undoName() const { return m_history.undoName(); }
    QString redoName() const { return m_history.redoName(); }
    std::size_t undoCount() const { return m_history.undoCount(); }
    bool undo();
    bool redo();

protected:
    // One command as a step of the history: made before the command
    // changes anything, it records the step when the command ends, also by
    // an error, unless nothing but the selection changed.
    class Step {
    public:
        Step(ListRows& owner, const char* name) : m_owner(owner), m_name(QString::fromLatin1(name)), m_before(owner.capture()) {}
        ~Step();
        Step(const Step&) = delete;
        Step& operator=(const Step&) = delete;

    private:
        ListRows& m_owner;
        QString m_name;
        ListSessionState m_before;
    };

    // What a step keeps and how it is put back; the rows alone unless a
    // session changes more.
    virtual ListSessionState capture() const;
    virtual void restore(ListSessionState state);

    // Gives every selected row the language, marked "Change Language"; true
    // when some row was selected.
    bool setSelectedLanguage(const TLanguages& language);

    QVector<ListRow> m_rows;

private:
    // Puts back a state the history gave; false when it gave none.
    bool restoreIfAny(std::optional<ListSessionState> state);

    UndoStack<ListSessionState> m_history {kHistoryDepth};
};

namespace listediting {

// Row orders of the sessions; equal keys keep their order, also when the
// order is reversed.
void sortByWord(QVector<ListRow>& rows, bool reversed = false);
void sortAscending(QVector<ListRow>& rows, bool languageColumn);
void sortDescending(QVector<ListRow>& rows, bool languageColumn);
void sortByNumber(QVector<ListRow>& rows, bool languageColumn, Qt::SortOrder order);
// By the number column read as a decimal rating, compared as CompareRatings
// compares them (ascending: the smallest rating first).
void sortByRating(QVector<ListRow>& rows, Qt::SortOrder order);
// A row for a list entry, its language name from the structure.
ListRow rowOf(const ProgramState& state, const QString& word, int32_t number, uint8_t id);
// True, after telling the user, when the word cannot be stored in a list file.
bool refuseUnstorable(const ProgramState& state, const QString& word);

} // namespace listediting

} // namespace vexlon
