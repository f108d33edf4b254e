// The list rules written as plainly as they are described, for comparison
// with the indexed versions and for the benchmarks.
#pragma once

#include "core/base/VexlonTypes.h"
#include "core/dictionary/DictionaryTable.h"
#include "core/lists/StatisticSession.h"
#include "core/lists/WhiteBlackListSession.h"

namespace vexlon::reference {

void UpdateStatistic(TSTATLST& list, const TiTAPStructure& structure, const DictionaryTable& table);
// Apply's walk of the list windows over rows in word order.
TLST applyListRows(const TiTAPStructure& structure, QVector<ListRow> rows, bool keepNumbers);
// Type 1 filling, searching the table for every entry; then trimming with a
// full recount per removed row.
void FillAddFromStatistic(const TSettings& settings, const TSTATLST& list, const TiTAPStructure& structure,
                          DictionaryTable& table);

} // namespace vexlon::reference
