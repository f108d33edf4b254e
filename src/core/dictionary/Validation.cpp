#include "core/dictionary/Validation.h"

#include "core/dictionary/Cleaning.h"
#include "core/dictionary/ItudFile.h"
#include "core/dictionary/TableOps.h"

#include <QHash>

namespace vexlon {

bool DictionaryHasProblem(const ProgramState& state, const DictionaryTable& table)
{
    ProgressScope progress(state.ui(), state.texts.STAT(8));
    // A word and language seen before: a repeat of any earlier row is a
    // repeat of some other row, which is all the check asks.
    QHash<QString, int> seen;
    seen.reserve(table.count());
    const int last = table.count() - 1;
    for (int i = 0; i < table.count(); ++i) {
        progress.show(i, last);
        const DictRow& row = table.row(i);
        if (row.word.size() < 2 || row.word.size() > kMaxWordLength)
            return true;
        const QString key = languageKey(row.languageId) + row.word;
        if (seen.contains(key))
            return true;
        seen.insert(key, i);
    }
    return false;
}

void RepairDictionary(const ProgramState& state, DictionaryTable& table)
{
    {
        UpdateScope update(table);
        RemoveShortWords(state, table, 2);
        RemoveDuplicates(state, table);
    }
    RefreshDictionaryStatus(state, table);
}

} // namespace vexlon
