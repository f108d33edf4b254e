// The user's commands on the words of the dictionary table: Add, Set
// Language, Lock/Unlock, Delete, editing a word in place and moving a row.
// Each acts on the selected rows (the rows' `selected` flags) and talks to
// the user only through the dialog interface.
#pragma once

#include "core/base/ProgramState.h"
#include "core/dictionary/DictionaryTable.h"

#include <QByteArray>
#include <QStringList>

namespace vexlon {

// The index of the first selected row, or -1.
int firstSelectedRow(const DictionaryTable& table);
bool hasSelection(const DictionaryTable& table);

// The names of the language structure's languages, in its order, as the
// language chooser lists them.
QStringList languageChoices(const TiTAPStructure& structure);

// Asks for a language with the given prompt; the chosen language, or null
// when the user cancelled.
const TLanguages* chooseLanguage(const ProgramState& state, int promptEntry);

// Add: inserts a row "new" of the chosen language after the first selected
// row (at the top when none is selected), never above the white list's rows.
// Returns the new row's index, on which the editor then opens the in-place
// editor, or -1 when the chooser was cancelled.
int AddWord(const ProgramState& state, DictionaryTable& table);

// Set Language: gives the chosen language to every selected unprotected row.
void SetLanguage(const ProgramState& state, DictionaryTable& table);

// Lock/Unlock: locks every selected row that is not locked, and offers to
// unlock each locked one; "White List" rows stay as they are.
void LockUnlock(const ProgramState& state, DictionaryTable& table);

// Delete: removes every selected unprotected row, without a question.
void DeleteSelected(const ProgramState& state, DictionaryTable& table);

// Whether a row's word may be edited in place (protected rows refuse).
bool CanEditWord(const DictionaryTable& table, int index);

// The word an in-place edit stores: lower case, without blanks.
QString EditedWord(const QString& typed);

// A confirmed in-place edit of row index with the typed text. False, with
// nothing changed, when the row refuses editing.
bool EditWord(DictionaryTable& table, int index, const QString& typed);

// Move the first selected row by one position, trading Numbers with the row
// it passes (so a save keeps the new order); false when it did not move.
// A "White List" row never moves and no row moves up past one.
bool MoveRowDown(DictionaryTable& table);
bool MoveRowUp(DictionaryTable& table);

} // namespace vexlon
