// The word rules of the dictionary table written as plainly as they are
// described: every search walks every row. The tests check the indexed
// versions of the program against these on many random tables, and the
// benchmarks time both.
#pragma once

#include "core/base/VexlonTypes.h"
#include "core/dictionary/Cleaning.h"
#include "core/dictionary/DictionaryTable.h"

namespace vexlon::reference {

void RemoveShortWords(DictionaryTable& table, uint8_t minimum);
void RemoveDuplicates(DictionaryTable& table);
void CleanDictionary(const TSettings& settings, const TiTAPStructure& structure, const TLST& blackList,
                     DictionaryTable& table, const CleanRules& rules);
bool DictionaryHasProblem(const DictionaryTable& table);

} // namespace vexlon::reference
