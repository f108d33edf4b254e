#include "core/app/DictionaryFiles.h"

#include "core/app/History.h"
#include "core/base/Convert.h"
#include "core/base/Errors.h"

#include "core/dictionary/Cleaning.h"
#include "core/dictionary/CsvTextFiles.h"
#include "core/dictionary/ItudFile.h"
#include "core/dictionary/Letters.h"
#include "core/dictionary/TableOps.h"
#include "core/dictionary/Validation.h"
#include "core/lists/ListCommands.h"
#include "core/lists/TextCounting.h"

#include <QFileInfo>

namespace vexlon {

void FinishLoad(Editor& editor, bool duplicatesRemoved)
{
    ProgramState& state = editor.state;
    DictionaryTable& table = editor.table;
    {
        UpdateScope update(table);
        if (!duplicatesRemoved)
            RemoveDuplicates(state, table);
        RemoveShortWords(state, table, state.settings.MinWordLength);
        RenumberRows(state, table, 0, table.count() - 1);
        if (editor.sortColumn >= 0)
            SortByColumn(table, editor.sortColumn, editor.sortDescending);
    }
    RefreshDictionaryStatus(state, table);
    table.modified = false;
}

QString unreachableNameReason(const QString& path)
{
    if (!path.contains(QChar(QChar::ReplacementCharacter)))
        return {};
    return QStringLiteral("The name \"%1\" holds bytes that are not UTF-8, so the program cannot reach the file by it. "
                          "Rename the file (or its folder) and try again; nothing was read or written.")
        .arg(printable(path));
}

bool OpenDictionaryFile(Editor& editor, const QString& path, OpenFilter filter)
{
    // A file the dialog showed under a name that is not its own would read
    // as missing, which the CSV and text readers pass over in silence.
    if (!QFileInfo::exists(path)) {
        const QString reason = unreachableNameReason(path);
        throw FileError::cannotOpen(path, reason.isEmpty() ? QStringLiteral("No such file or directory") : reason);
    }
    // The file is read aside: the dictionary on screen is replaced only by
    // a file read whole, never emptied by one that fails or is declined.
    DictionaryTable read;
    bool accepted = true;
    bool folded = false;
    switch (filter) {
    case OpenFilter::UsersDictionary:
    case OpenFilter::All:
        accepted = ReadDictionaryFile(editor.state, read, path);
        break;
    case OpenFilter::Text:
        // Repeats are folded while the text is read, so that a large text
        // never becomes one row per running word.
        folded = ReadTextFileFolded(editor.state, read, path);
        break;
    case OpenFilter::Csv:
        ReadCsvFile(editor.state, read, path);
        break;
    }
    if (!accepted) {
        RefreshDictionaryStatus(editor.state, editor.table);
        return false;
    }
    StepRecorder step(editor, QStringLiteral("Open Dictionary"));
    {
        UpdateScope update(editor.table);
        // The rows move over, so that the passes of the load change them
        // in place instead of copying every row first.
        QVector<DictRow> rows = read.rows();
        read.clear();
        editor.table.replaceAll(std::move(rows));
        if (editor.state.settings.WhiteListOn)
            ApplyWhiteList(editor.state, editor.table);
    }
    // White-list rows above folded rows still meet them in the duplicate
    // removal.
    const bool whiteRows = editor.state.settings.WhiteListOn && !editor.state.whiteList.Items.isEmpty();
    FinishLoad(editor, folded && !whiteRows);
    editor.documentName = path;
    markDocumentSaved(editor);
    step.setReport(QStringLiteral("Opened %1: %2").arg(QFileInfo(path).fileName(), wordsText(editor.table.count())));
    return true;
}

bool MayDiscardChanges(Editor& editor)
{
    return !editor.table.modified || editor.state.ui().confirm(editor.state.texts.MESSAGES(26), ConfirmKind::Confirmation);
}

QString wordsText(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 word") : QStringLiteral("%1 words").arg(count);
}

SaveRefusal PrepareSave(Editor& editor)
{
    ProgramState& state = editor.state;
    if (DictionaryHasProblem(state, editor.table)) {
        if (state.ui().confirm(state.texts.MESSAGES(16), ConfirmKind::Confirmation)) {
            StepRecorder step(editor, QStringLiteral("Repair"));
            RepairDictionary(state, editor.table);
            step.finish();
            state.ui().report(QStringLiteral("Repaired the dictionary (%1 now); it has not been saved yet")
                                  .arg(wordsText(editor.table.count())));
        } else {
            state.ui().message(QString::fromLatin1(kNotSavedProblemText));
        }
        return SaveRefusal::HasProblem;
    }
    {
        // Saving writes the words in the order of their Numbers, and shows them so.
        StepRecorder step(editor, QStringLiteral("Order by Number"));
        SortByNumber(editor.table);
    }
    if (!RefreshDictionaryStatus(state, editor.table)) {
        const int32_t over = 1 - FreeBytes(state, editor.table);
        state.ui().message(QString::fromLatin1(kNotSavedFullText)
                               .arg(state.settings.UsersDictionarySize)
                               .arg(over));
        return SaveRefusal::Full;
    }
    return SaveRefusal::None;
}

bool RefuseUnstorableWords(Editor& editor)
{
    const ProgramState& state = editor.state;
    LetterChecker checker(state);
    for (int i = 0; i < editor.table.count(); ++i) {
        const DictRow& row = editor.table.row(i);
        const qsizetype bad = checker.firstUnstorable(row.word, row.languageId);
        if (bad < 0)
            continue;
        for (int j = 0; j < editor.table.count(); ++j)
            editor.table.setSelected(j, j == i);
        state.ui().message(unstorableLetterText(state, row.word, bad, static_cast<uint8_t>(hexToInt(row.languageId) & 0xFF)));
        return true;
    }
    return false;
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
    switch (filter) {
    case SaveFilter::ItapFormat:
        WriteDictionaryFile(editor.state, editor.table, target);
        break;
    case SaveFilter::Csv:
        WriteCsvFile(editor.state, editor.table, target, TextEncoding::Windows1251);
        break;
    case SaveFilter::CsvUtf8:
        WriteCsvFile(editor.state, editor.table, target, TextEncoding::Utf8);
        break;
    }
}

} // namespace vexlon
