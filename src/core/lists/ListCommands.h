// The commands that join the dictionary table and the white and black
// lists: the white list merge, "To WhiteList" and "To BlackList".
#pragma once

#include "core/base/ProgramState.h"
#include "core/dictionary/DictionaryTable.h"

namespace vexlon {

// Puts the white list's words at the top of the table, in list order, as
// "White List" rows numbered by the entries, in place of the "White List"
// rows of those words. A "White List" row whose word the list no longer
// holds stays where it is as an ordinary "Users Dictionary" row. Neither
// renumbers the other rows nor touches DictionaryModified.
void ApplyWhiteList(const ProgramState& state, DictionaryTable& table);

// Turns every "White List" row whose word the white list no longer holds
// into an ordinary "Users Dictionary" row; true (and the table modified)
// when there was one.
bool ReleaseFormerWhiteListRows(const ProgramState& state, DictionaryTable& table);

// "To WhiteList": asks whether the selected rows leave the table (Yes) or
// stay marked "White List" (No), adds each selected row's word that the
// white list lacks, and writes the white list file. Rows already on the list
// stay as they are. Does nothing when no row is selected (returns false).
// A word holding ";" is not added, its row stays as it was, and the user is
// told once.
bool ToWhiteList(ProgramState& state, DictionaryTable& table);

// "To BlackList": the same with the black list; a row already on the list is
// still removed (Yes) or marked "Black List" (No), and "Locked" rows are
// added but neither removed nor marked.
bool ToBlackList(ProgramState& state, DictionaryTable& table);

} // namespace vexlon
