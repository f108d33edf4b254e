#include "dictionary/Cleaning.h"

#include "app/base/Ansi.h"

namespace vexlon {

void RemoveShortWords(const ProgramState& state, DictionaryTable& table, uint8_t minimum)
{
    ProgressScope progress(state.ui(), state.texts.STAT(7));
    UpdateScope update(table);
    int i = 0;
    while (i < table.count()) {
        progress.show(i, table.count());
        const DictRow& row = table.row(i);
        if (!row.isProtected() && row.word.size() < minimum)
            table.removeAt(i);
        else
            ++i;
    }
}

void RemoveDuplicates(const ProgramState& state, DictionaryTable& table)
{
    ProgressScope progress(state.ui(), state.texts.STAT(6));
    UpdateScope update(table);
    int i = 0;
    while (i < table.count()) {
        progress.show(i, table.count());
        table.setCell(i, ColWord, ansi::toLower(table.row(i).word));
        const DictRow& current = table.row(i);
        const int n = table.count();
        int match = -1;
        for (int step = 1; step < n; ++step) {
            const int j = (i + step) % n;
            const DictRow& other = table.row(j);
            if (other.word == current.word && other.languageId == current.languageId) {
                match = j;
                break;
            }
        }
        if (match >= 0 && !table.row(match).isProtected()) {
            // The walk goes on at the same index: row i again when the match
            // lay below it, the row after it when the match lay above.
            table.removeAt(match);
        } else {
            ++i;
        }
    }
}

} // namespace vexlon
