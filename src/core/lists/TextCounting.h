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
// the same words, language IDs and statuses as when every row had been made.
// The rows are numbered by their place in the table. Returns true when each
// word already stands as the duplicate removal leaves it (lower-cased, one
// row a word), so that without white-list rows above them that removal would
// change nothing: the text's words were folded and the white list is off or
// holds no word of the text rows' language. False otherwise: with such
// white-list words the rows keep the text's spelling; when some word's
// lower case is not stable (see stableLowerCase) every row is made, as
// ReadTextFile makes them; when no file exists nothing is. A file that would
// give more than kMaxWordsInFile rows throws as ReadTextFile does.
bool ReadTextFileFolded(const ProgramState& state, DictionaryTable& table, const QString& path);

} // namespace vexlon
