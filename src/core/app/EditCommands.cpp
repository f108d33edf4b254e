#include "core/app/EditCommands.h"

#include "core/app/DictionaryFiles.h"
#include "core/app/History.h"
#include "core/base/CodePage1251.h"
#include "core/dictionary/Editing.h"
#include "core/dictionary/Find.h"
#include "core/dictionary/TableOps.h"
#include "core/lists/ListCommands.h"

namespace vexlon {

QString cleaningCaption(CleaningItem item)
{
    // In the order of the items.
    static const char* const captions[] = {"Symbols", "Numbers", "Language", "By Length", "Intelect", "BlackList", "All"};
    return QString::fromLatin1(captions[static_cast<int>(item)]);
}

int AddCommand(Editor& editor)
{
    StepRecorder step(editor, QStringLiteral("Add"));
    const int row = AddWord(editor.state, editor.table);
    if (row >= 0) {
        RefreshDictionaryStatus(editor.state, editor.table);
        step.setReport(QStringLiteral("Added a word: type it in place of \"new\""));
    }
    return row;
}

bool EditWordCommand(Editor& editor, int row, const QString& typed)
{
    StepRecorder step(editor, QStringLiteral("Edit"));
    if (row < 0 || row >= editor.table.count())
        return false;
    const QString old = editor.table.row(row).word;
    if (!EditWord(editor.table, row, typed))
        return false;
    RefreshDictionaryStatus(editor.state, editor.table);
    step.setReport(QStringLiteral("Changed \"%1\" to \"%2\"")
                       .arg(cp1251::shown(old), cp1251::shown(editor.table.row(row).word)));
    return true;
}

void DeleteCommand(Editor& editor)
{
    StepRecorder step(editor, QStringLiteral("Delete"));
    const int first = firstSelectedRow(editor.table);
    DeleteSelected(editor.state, editor.table);
    RefreshDictionaryStatus(editor.state, editor.table);
    // The word that took the first deleted one's place is selected next.
    if (first >= 0 && !hasSelection(editor.table) && !editor.table.isEmpty())
        editor.table.setSelected(qMin(first, editor.table.count() - 1), true);
}

void SetLanguageCommand(Editor& editor)
{
    StepRecorder step(editor, QStringLiteral("Set Language"));
    SetLanguage(editor.state, editor.table);
}

void LockUnlockCommand(Editor& editor)
{
    StepRecorder step(editor, QStringLiteral("Lock/Unlock"));
    LockUnlock(editor.state, editor.table);
}

bool MoveCommand(Editor& editor, bool down)
{
    StepRecorder step(editor, down ? QStringLiteral("Move Down") : QStringLiteral("Move Up"));
    const bool moved = down ? MoveRowDown(editor.table) : MoveRowUp(editor.table);
    if (moved) {
        const int row = firstSelectedRow(editor.table);
        step.setReport(QStringLiteral("Moved \"%1\" to place %2")
                           .arg(cp1251::shown(editor.table.row(row).word))
                           .arg(row + 1));
    }
    return moved;
}

void CleaningCommand(Editor& editor, CleaningItem item)
{
    StepRecorder step(editor, QStringLiteral("Cleaning: ") + cleaningCaption(item), QStringLiteral("Cleaning"));
    const int before = editor.table.count();
    if (RunCleaningCommand(editor.state, editor.table, item) && !step.finish())
        editor.state.ui().report(QStringLiteral("Cleaning found nothing to change in %1 words").arg(before));
}

void ToBlackListCommand(Editor& editor)
{
    StepRecorder step(editor, QStringLiteral("To BlackList"));
    ToBlackList(editor.state, editor.table);
    RefreshDictionaryStatus(editor.state, editor.table);
}

void ToWhiteListCommand(Editor& editor)
{
    StepRecorder step(editor, QStringLiteral("To WhiteList"));
    ToWhiteList(editor.state, editor.table);
    RefreshDictionaryStatus(editor.state, editor.table);
}

void SortCommand(Editor& editor, int column, bool descending)
{
    const QString name = QStringLiteral("Sort by %1").arg(QString::fromLatin1(kColumnCaptions[qBound(0, column, kColumnCount - 1)]));
    StepRecorder step(editor, name);
    SortByColumn(editor.table, column, descending);
    if (column != ColStatus) {
        editor.sortColumn = column;
        editor.sortDescending = descending;
    }
    step.setReport(name + (descending ? QStringLiteral(", descending") : QStringLiteral(", ascending")));
}

QVector<int> FindCommand(Editor& editor, const QString& text)
{
    const QVector<int> found = FindInTable(editor.table, text);
    if (found.isEmpty() && !text.isEmpty())
        editor.state.ui().message(QStringLiteral("No word begins with \"%1\".").arg(text));
    else if (!found.isEmpty())
        editor.state.ui().report(QStringLiteral("Found %1 beginning with \"%2\"").arg(wordsText(found.size()), text));
    return found;
}

} // namespace vexlon
