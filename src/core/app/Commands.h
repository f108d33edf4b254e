// The main window's dictionary commands that join the table, the lists and
// the files: New Dictionary, Clear, Open Dictionary, Save Dictionary, the
// white list key, reading the lists at start-up and what follows the closing
// of the list windows. The editor shows its file dialogs through the
// callbacks, at the point of the command where they belong.
#pragma once

#include "core/app/DictionaryFiles.h"
#include "core/app/Editor.h"

#include <functional>
#include <optional>

namespace vexlon {

// New Dictionary: asks before discarding a modified table; false on No.
bool NewDictionary(Editor& editor);
// Clear: the same, under the step name given.
bool ClearDictionary(Editor& editor, const QString& name = QStringLiteral("Clear"));

// What the open dialog returned.
struct OpenChoice {
    QString path;
    OpenFilter filter = OpenFilter::UsersDictionary;
};
// Open Dictionary: asks before discarding a modified table (false on No,
// nothing else happens); asks for the file; reads it as OpenDictionaryFile
// does. Cancelling the file dialog changes nothing.
bool OpenDictionary(Editor& editor, const std::function<std::optional<OpenChoice>()>& chooseFile);

// What the save dialog returned.
struct SaveChoice {
    QString path;
    SaveFilter filter = SaveFilter::ItapFormat;
};
enum class SaveOutcome { Saved, NotChosen, Declined, HasProblem, Full };
// Save Dictionary: the check (offering the repair), ordering by Number, the
// capacity check, the save dialog, the question before replacing a file.
// Only when the file was written is the table unmodified, the statistic
// counted when it is on, and the statistic list file written; the status
// bar confirms the save. Every refusal is told to the user.
SaveOutcome SaveDictionary(Editor& editor, const std::function<std::optional<SaveChoice>()>& chooseFile);

// F6: asks, then applies the white list and renumbers all rows; false on No.
bool ApplyWhiteListKey(Editor& editor);

// Start-up: reads the statistic, white and black lists in this order,
// showing the start-up message of each that cannot be read (it stays
// empty), then applies the white list to the table when it is on.
// Conversion errors of a list file propagate and end the reading there.
void ReadListsAtStartUp(Editor& editor);

// After the white list window closed, however: writes the white list file,
// applies the white list when it is on, gives the rows of words taken off
// the list back their ordinary status, refreshes the status line and
// renumbers from the white list's last row.
void AfterWhiteListWindow(Editor& editor);
// After the black list window closed: writes the black list file.
void AfterBlackListWindow(Editor& editor);

// Opening a list window and what follows its closing, as one undoable step
// ("White List", "Black List"; the statistic window's is "To Dictionary"
// when it filled the table, else "Statistic"). showWindow shows the window
// and returns when it has closed.
enum class ListWindow { White, Black, Statistic };
void ListWindowCommand(Editor& editor, ListWindow window, const std::function<void()>& showWindow);

} // namespace vexlon
