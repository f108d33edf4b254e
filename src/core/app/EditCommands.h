// The main window's commands on the words of the dictionary table, each one
// undoable step that tells the status bar what it did: Add, in-place edit,
// Delete, Set Language, Lock/Unlock, moving a row, the Cleaning menu, To
// BlackList, To WhiteList, sorting by a column and Find.
#pragma once

#include "core/app/Editor.h"
#include "core/dictionary/Cleaning.h"

#include <QByteArray>

namespace vexlon {

// Add; the new row's index (to edit in place), or -1 when cancelled.
int AddCommand(Editor& editor);
// A confirmed in-place edit; false when the row refuses editing.
bool EditWordCommand(Editor& editor, int row, const QString& typed);
// Delete; the row that takes the first deleted row's place is selected.
void DeleteCommand(Editor& editor);
void SetLanguageCommand(Editor& editor);
void LockUnlockCommand(Editor& editor);
// Ctrl+Down / Ctrl+Up; false when the row did not move.
bool MoveCommand(Editor& editor, bool down);
// "Cleaning: Symbols" and the rest of the Cleaning menu.
void CleaningCommand(Editor& editor, CleaningItem item);
void ToBlackListCommand(Editor& editor);
void ToWhiteListCommand(Editor& editor);
// A click on a column header: ascending, or descending.
void SortCommand(Editor& editor, int column, bool descending);
// F7: selects the words that begin with text; the user is told when none
// does. Returns the rows found.
QVector<int> FindCommand(Editor& editor, const QString& text);

// The menu caption of a cleaning item, as its step is named after it.
QString cleaningCaption(CleaningItem item);

} // namespace vexlon
