#include "core/app/Commands.h"

#include "core/app/History.h"

#include "core/dictionary/TableOps.h"
#include "core/lists/ListCommands.h"
#include "core/lists/ListFiles.h"
#include "core/lists/Statistics.h"

#include <QFileInfo>

namespace vexlon {

bool ClearDictionary(Editor& editor, const QString& name)
{
    if (!MayDiscardChanges(editor))
        return false;
    StepRecorder step(editor, name);
    {
        UpdateScope update(editor.table);
        editor.table.clear();
        if (editor.state.settings.WhiteListOn)
            ApplyWhiteList(editor.state, editor.table);
    }
    RefreshDictionaryStatus(editor.state, editor.table);
    editor.documentName.clear();
    editor.table.modified = false;
    step.setReport(name == QLatin1String("Clear") ? QStringLiteral("Cleared the dictionary")
                                                  : QStringLiteral("New dictionary"));
    return true;
}

bool NewDictionary(Editor& editor)
{
    return ClearDictionary(editor, QStringLiteral("New Dictionary"));
}

bool OpenDictionary(Editor& editor, const std::function<std::optional<OpenChoice>()>& chooseFile)
{
    if (!MayDiscardChanges(editor))
        return false;
    if (const std::optional<OpenChoice> choice = chooseFile())
        return OpenDictionaryFile(editor, choice->path, choice->filter);
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
    const std::optional<SaveChoice> choice = chooseFile();
    if (!choice)
        return SaveOutcome::NotChosen;
    if (const QString reason = unreachableNameReason(choice->path); !reason.isEmpty()) {
        editor.state.ui().message(reason);
        return SaveOutcome::Declined;
    }
    if (choice->filter == SaveFilter::ItapFormat && RefuseUnstorableWords(editor))
        return SaveOutcome::HasProblem;
    const bool exists = QFileInfo::exists(choice->path);
    if (exists && !editor.state.ui().confirm(editor.state.texts.MESSAGES(22), ConfirmKind::Warning))
        return SaveOutcome::Declined;
    const QString target = SaveTargetName(choice->path, choice->filter, exists);
    WriteDictionaryAs(editor, target, choice->filter);
    // Only a dictionary that reached its file counts as saved and counted.
    editor.documentName = target;
    markDocumentSaved(editor);
    editor.state.ui().report(
        QStringLiteral("Saved %1 to %2").arg(wordsText(editor.table.count()), QFileInfo(target).fileName()));
    // Counting is no change of the dictionary: it is not undone.
    if (editor.state.settings.StatisticOn)
        UpdateStatistic(editor.state, editor.table);
    WriteProgramList(editor.state, ListKind::Statistic);
    return SaveOutcome::Saved;
}

bool ApplyWhiteListKey(Editor& editor)
{
    if (!editor.state.ui().confirm(editor.state.texts.MESSAGES(18), ConfirmKind::Confirmation))
        return false;
    StepRecorder step(editor, QStringLiteral("White List to the Top"), QStringLiteral("The white list"));
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
    ReleaseFormerWhiteListRows(editor.state, editor.table);
    RefreshDictionaryStatus(editor.state, editor.table);
    RenumberRows(editor.state, editor.table, qMax(0, editor.state.whiteList.Count - 1), editor.table.count() - 1);
}

void AfterBlackListWindow(Editor& editor)
{
    WriteProgramList(editor.state, ListKind::Black);
}

void ListWindowCommand(Editor& editor, ListWindow window, const std::function<void()>& showWindow)
{
    switch (window) {
    case ListWindow::White: {
        StepRecorder step(editor, QStringLiteral("White List"));
        showWindow();
        AfterWhiteListWindow(editor);
        break;
    }
    case ListWindow::Black: {
        StepRecorder step(editor, QStringLiteral("Black List"));
        showWindow();
        AfterBlackListWindow(editor);
        break;
    }
    case ListWindow::Statistic: {
        StepRecorder step(editor, QStringLiteral("Statistic"));
        const QVector<DictRow> before = editor.table.rows();
        showWindow();
        if (!(before == editor.table.rows())) {
            // Words that came from the statistic are not saved anywhere yet.
            editor.table.modified = true;
            step.setName(QStringLiteral("To Dictionary"));
        }
        break;
    }
    }
}

} // namespace vexlon
