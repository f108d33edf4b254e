#include "core/app/DictionaryFiles.h"

#include "core/dictionary/Cleaning.h"
#include "core/dictionary/CsvTextFiles.h"
#include "core/dictionary/ItudFile.h"
#include "core/dictionary/TableOps.h"
#include "core/dictionary/Validation.h"
#include "core/lists/ListCommands.h"

namespace vexlon {

void FinishLoad(Editor& editor)
{
    ProgramState& state = editor.state;
    DictionaryTable& table = editor.table;
    {
        UpdateScope update(table);
        RemoveDuplicates(state, table);
        RemoveShortWords(state, table, state.settings.MinWordLength);
        RenumberRows(state, table, 0, table.count() - 1);
    }
    RefreshDictionaryStatus(state, table);
    table.modified = false;
}

bool OpenDictionaryFile(Editor& editor, const QString& path, OpenFilter filter)
{
    DictionaryTable& table = editor.table;
    bool read = true;
    {
        UpdateScope update(table);
        table.clear();
        try {
            switch (filter) {
            case OpenFilter::UsersDictionary:
            case OpenFilter::All:
                read = ReadDictionaryFile(editor.state, table, path);
                break;
            case OpenFilter::Text:
                ReadTextFile(editor.state, table, path);
                break;
            case OpenFilter::Csv:
                ReadCsvFile(editor.state, table, path);
                break;
            }
            if (editor.state.settings.WhiteListOn)
                ApplyWhiteList(editor.state, table);
        } catch (...) {
            RefreshDictionaryStatus(editor.state, table);
            table.modified = false;
            throw;
        }
    }
    FinishLoad(editor);
    return read;
}

SaveRefusal PrepareSave(Editor& editor)
{
    if (DictionaryHasProblem(editor.state, editor.table)) {
        if (editor.state.ui().confirm(editor.state.texts.MESSAGES(16), ConfirmKind::Confirmation))
            RepairDictionary(editor.state, editor.table);
        return SaveRefusal::HasProblem;
    }
    SortByNumber(editor.table);
    if (!RefreshDictionaryStatus(editor.state, editor.table))
        return SaveRefusal::Full;
    return SaveRefusal::None;
}

QString SaveTargetName(const QString& chosen, SaveFilter filter, bool chosenExists)
{
    if (chosenExists)
        return chosen;
    const QString extension = filter == SaveFilter::ItapFormat ? QStringLiteral(".iud") : QStringLiteral(".csv");
    return chosen.endsWith(extension, Qt::CaseSensitive) ? chosen : chosen + extension;
}

void WriteDictionaryAs(Editor& editor, const QString& target, SaveFilter filter)
{
    if (filter == SaveFilter::ItapFormat)
        WriteDictionaryFile(editor.state, editor.table, target);
    else
        WriteCsvFile(editor.state, editor.table, target);
}

} // namespace vexlon
