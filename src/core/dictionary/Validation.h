// The check every save runs first, and the repair it offers.
#pragma once

#include "core/base/ProgramState.h"
#include "core/dictionary/DictionaryTable.h"

namespace vexlon {

// True when some word is empty, shorter than two characters, longer than a
// dictionary record can hold (249), or repeated with the same language
// (byte-wise, case-sensitive; "1" and "01" are one language, see
// languageKey).
bool DictionaryHasProblem(const ProgramState& state, const DictionaryTable& table);

// Save Dictionary's repair: short words (under 2) and repeated words go,
// protected rows stay.
void RepairDictionary(const ProgramState& state, DictionaryTable& table);

} // namespace vexlon
