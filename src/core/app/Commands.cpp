#include "core/app/Commands.h"

#include "core/dictionary/TableOps.h"
#include "core/lists/ListCommands.h"
#include "core/lists/ListFiles.h"
#include "core/lists/Statistics.h"

#include <QFileInfo>

namespace vexlon {

namespace {

bool mayDiscard(Editor& editor)
{
    return !editor.table.modified || editor.state.ui().confirm(editor.state.texts.MESSAGES(26), ConfirmKind::Confirmation);
}

} // namespace

void ClearDictionary(Editor& editor)
{
    {
        UpdateScope update(editor.table);
        editor.table.clear();
        if (editor.state.settings.WhiteListOn)
            ApplyWhiteList(editor.state, editor.table);
    }
    RefreshDictionaryStatus(editor.state, editor.table);
    editor.table.modified = false;
}

bool NewDictionary(Editor& editor)
{
    if (!mayDiscard(editor))
        return false;
    ClearDictionary(editor);
    return true;
}

bool OpenDictionary(Editor& editor, const std::function<std::optional<OpenChoice>()>& chooseFile)
{
    if (!mayDiscard(editor))
        return false;
    if (const std::optional<OpenChoice> choice = chooseFile())
        return OpenDictionaryFile(editor, choice->path, choice->filter);
    RefreshDictionaryStatus(editor.state, editor.table);
    editor.table.modified = false;
    return false;
}

SaveOutcome SaveDictionary(Editor& editor, const std::function<std::optional<SaveChoice>()>& chooseFile)
{
    switch (PrepareSave(editor)) {
    case SaveRefusal::HasProblem:
        return SaveOutcome::HasProblem;
    case SaveRefusal::Full:
        return SaveOutcome::Full;
    case SaveRefusal::None:
        break;
    }
    SaveOutcome outcome = SaveOutcome::NotChosen;
    if (const std::optional<SaveChoice> choice = chooseFile()) {
        const bool exists = QFileInfo::exists(choice->path);
        if (exists && !editor.state.ui().confirm(editor.state.texts.MESSAGES(22), ConfirmKind::Warning))
            return SaveOutcome::Declined;
        WriteDictionaryAs(editor, SaveTargetName(choice->path, choice->filter, exists), choice->filter);
        outcome = SaveOutcome::Saved;
    }
    editor.table.modified = false;
    if (editor.state.settings.StatisticOn)
        UpdateStatistic(editor.state, editor.table);
    WriteProgramList(editor.state, ListKind::Statistic);
    return outcome;
}

bool ApplyWhiteListKey(Editor& editor)
{
    if (!editor.state.ui().confirm(editor.state.texts.MESSAGES(18), ConfirmKind::Confirmation))
        return false;
    ApplyWhiteList(editor.state, editor.table);
    RenumberRows(editor.state, editor.table, 0, editor.table.count() - 1);
    return true;
}

void ReadListsAtStartUp(Editor& editor)
{
    for (ListKind kind : {ListKind::Statistic, ListKind::White, ListKind::Black}) {
        if (!ReadProgramList(editor.state, kind))
            editor.state.ui().message(listReadErrorText(kind));
    }
    if (editor.state.settings.WhiteListOn)
        ApplyWhiteList(editor.state, editor.table);
}

void AfterWhiteListWindow(Editor& editor)
{
    WriteProgramList(editor.state, ListKind::White);
    if (editor.state.settings.WhiteListOn)
        ApplyWhiteList(editor.state, editor.table);
    RefreshDictionaryStatus(editor.state, editor.table);
    RenumberRows(editor.state, editor.table, qMax(0, editor.state.whiteList.Count - 1), editor.table.count() - 1);
}

void AfterBlackListWindow(Editor& editor)
{
    WriteProgramList(editor.state, ListKind::Black);
}

} // namespace vexlon
