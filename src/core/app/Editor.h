// The editor's state as the main window owns it: the program-wide state, the
// dictionary table, the name of the document it came from and the history
// of its changes.
#pragma once

#include "core/base/ProgramState.h"
#include "core/base/UndoStack.h"
#include "core/dictionary/DictionaryTable.h"

namespace vexlon {

// Everything a change of the dictionary can touch: the rows, whether they
// differ from the document, the document's name and the three word lists.
struct EditorSnapshot {
    QVector<DictRow> rows;
    bool modified = false;
    QString documentName;
    TLST whiteList;
    TLST blackList;
    TSTATLST statisticList;
    // Which lists the step changed (ListMask bits): only those are put back
    // by its undo or redo, so a list changed outside the history (the
    // statistic counted by a save) is never turned back.
    int listMask = 0;
};

enum ListMask { WhiteListBit = 1, BlackListBit = 2, StatisticListBit = 4 };

// How many steps the editor can take back.
inline constexpr std::size_t kUndoDepth = 200;

struct Editor {
    ProgramState state;
    DictionaryTable table;
    // The file the dictionary was opened from or last saved to, "phone" when
    // it was read from the phone, empty for a new dictionary.
    QString documentName;
    UndoStack<EditorSnapshot> history{kUndoDepth};
    // The column order the user chose by a header click (-1: none), kept
    // for every dictionary loaded afterwards.
    int sortColumn = -1;
    bool sortDescending = false;
};

} // namespace vexlon
