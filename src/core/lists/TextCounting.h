// Reading a large text file for counting its words into the statistic list,
// with memory that grows with the different words rather than with the
// running text.
#pragma once

#include "core/base/ProgramState.h"
#include "core/dictionary/DictionaryTable.h"

#include <QString>

namespace vexlon {

// Appends the rows of a text file (as ReadTextFile makes them) that can
// outlast the duplicate removal of a load: repeats are folded while the file
// is read. After the white list (when it is on) and the load's duplicate and
// short-word removal, the table holds the same rows, in the same order, with
// the same words, language IDs and statuses as when every row had been made;
// the provisional numbers of the rows may differ until the load renumbers
// them. Nothing when no file exists; a file that would give more than
// kMaxWordsInFile rows throws as ReadTextFile does. When some word's lower
// case is not stable (see stableLowerCase), every row is made, as
// ReadTextFile makes them.
void ReadTextFileFolded(const ProgramState& state, DictionaryTable& table, const QString& path);

} // namespace vexlon
