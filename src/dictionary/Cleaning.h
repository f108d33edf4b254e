// Cleaning passes of the dictionary table. Protected rows ("White List",
// "Locked") are never removed.
#pragma once

#include "app/base/ProgramState.h"
#include "dictionary/DictionaryTable.h"

#include <cstdint>

namespace vexlon {

// Removes every unprotected row whose word has fewer than minimum characters.
void RemoveShortWords(const ProgramState& state, DictionaryTable& table, uint8_t minimum);

// Lower-cases every word and removes repeated rows (same word, same language
// ID text): of each group every protected row stays, and when the group has
// none, exactly one row stays.
void RemoveDuplicates(const ProgramState& state, DictionaryTable& table);

} // namespace vexlon
