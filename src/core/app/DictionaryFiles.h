// Opening and saving the dictionary on disk, once the user has named a file:
// the part of Open Dictionary and Save Dictionary that the editor, the
// command-line tool and the tests share.
#pragma once

#include "core/app/Editor.h"

#include <QString>

namespace vexlon {

// The entries of the open dialog's filter, numbered as the dialog numbers them.
enum class OpenFilter { UsersDictionary = 1, Text = 2, Csv = 3, All = 4 };
// The entries of the save dialog's filter.
enum class SaveFilter { ItapFormat = 1, Csv = 2, CsvUtf8 = 3 };

inline const char* const kOpenFilterText = "Users Dictionary Files (*.iud);;Text Files (*.txt);;MS Excel CSV Files (*.csv);;All Files (*)";
inline const char* const kSaveFilterText =
    "Motorola iTAP Format (*.iud);;MS Excel CSV Format (*.csv);;MS Excel CSV Format, UTF-8 (*.csv)";

// Empty, or why a name the file dialog gave cannot be used: it shows bytes
// that are not UTF-8 as U+FFFD, which is not the file's real name.
QString unreachableNameReason(const QString& path);

// Reads the file with the reader of the filter entry into a table of its
// own; only when it was read whole does it replace the dictionary, with the
// follow-up of every load: the white list when it is on, duplicate and
// short-word removal, renumbering; then the status line, the document name,
// and the table counts as unmodified (one undoable step). Errors of the
// readers propagate and leave the dictionary as it was. False, with the
// dictionary as it was, when the user declined a dictionary file of the
// wrong size.
bool OpenDictionaryFile(Editor& editor, const QString& path, OpenFilter filter);

// "1 word", "12 words".
QString wordsText(qsizetype count);

// Before a command drops a modified table (closing, New, Clear, every open):
// asks whether to discard the changes; false on No.
bool MayDiscardChanges(Editor& editor);

inline const char* const kNotSavedProblemText =
    "The dictionary has not been saved: it holds empty, one-letter or repeated words.";
inline const char* const kNotSavedFullText =
    "The dictionary has not been saved: its words do not fit into the users dictionary of %1 bytes "
    "(%2 bytes too many). Delete or clean some words first.";

// The follow-up after rows have been read into a cleared table, without the
// white list (a dictionary read from the phone does not get it); the rows
// are then put in the order the user last chose by a column. Rows that a
// reader already folded as the duplicate removal would (see
// ReadTextFileFolded) skip that pass.
void FinishLoad(Editor& editor, bool duplicatesRemoved = false);

// The first steps of Save Dictionary: the pre-save check (offering the
// repair, an undoable step; declined, the user is told why nothing is
// saved), ordering by Number and the capacity check (the user is told how
// much is too much). None when saving may go on.
enum class SaveRefusal { None, HasProblem, Full };
SaveRefusal PrepareSave(Editor& editor);

// Before words go to a dictionary file or the phone: when the phone cannot
// store a character of some word in its language, the user is told which
// word, which character and why, the row is selected, and true is returned.
bool RefuseUnstorableWords(Editor& editor);

// The name a confirmed save writes to: an existing file keeps its exact name,
// otherwise ".iud" or ".csv" is appended unless the name ends with it
// (compared case-sensitively).
QString SaveTargetName(const QString& chosen, SaveFilter filter, bool chosenExists);

// Writes the table to the target with the writer of the filter entry.
void WriteDictionaryAs(Editor& editor, const QString& target, SaveFilter filter);

} // namespace vexlon
