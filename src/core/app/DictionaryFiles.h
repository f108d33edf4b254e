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
enum class SaveFilter { ItapFormat = 1, Csv = 2 };

inline const char* const kOpenFilterText = "Users Dictionary Files (*.iud);;Text Files (*.txt);;MS Excel CSV Files (*.csv);;All Files (*)";
inline const char* const kSaveFilterText = "Motorola iTAP Format (*.iud);;MS Excel CSV Format (*.csv)";

// Clears the table, reads the file with the reader of the filter entry and
// runs the follow-up of every load: the white list when it is on, duplicate
// and short-word removal, renumbering; then the status line, and the table
// counts as unmodified. Errors of the readers propagate (the table stays as
// far as it was read). False when the user declined a dictionary file of the
// wrong size (the table is then empty).
bool OpenDictionaryFile(Editor& editor, const QString& path, OpenFilter filter);

// The follow-up after rows have been read into a cleared table, without the
// white list (a dictionary read from the phone does not get it).
void FinishLoad(Editor& editor);

// The first steps of Save Dictionary: the pre-save check (offering the
// repair), ordering by Number and the capacity check. True when saving may go
// on; false when the check failed (after the repair, if chosen) or no free
// byte is left.
enum class SaveRefusal { None, HasProblem, Full };
SaveRefusal PrepareSave(Editor& editor);

// The name a confirmed save writes to: an existing file keeps its exact name,
// otherwise ".iud" or ".csv" is appended unless the name ends with it
// (compared case-sensitively).
QString SaveTargetName(const QString& chosen, SaveFilter filter, bool chosenExists);

// Writes the table to the target with the writer of the filter entry.
void WriteDictionaryAs(Editor& editor, const QString& target, SaveFilter filter);

} // namespace vexlon
