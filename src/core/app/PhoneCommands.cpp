#include "core/app/PhoneCommands.h"

#include "core/app/DictionaryFiles.h"
#include "core/app/History.h"
#include "core/dictionary/ItudFile.h"
#include "core/dictionary/TableOps.h"
#include "core/dictionary/Validation.h"
#include "core/lists/Statistics.h"

#include "core/base/Errors.h"
#include "core/base/TextFile.h"

namespace vexlon {

PhoneStatus phoneStatus(const ProgramState& state, PhoneLink* link)
{
    PhoneStatus status;
    if (!link || !link->hasCurrentPhone()) {
        status.text = state.texts.MESSAGES(21);
    } else if (!link->isOpen()) {
        status.text = state.texts.MESSAGES(20);
    } else {
        status.text = state.texts.MESSAGES(20) + QLatin1Char(' ') + link->model();
        status.green = true;
        status.ready = true;
    }
    return status;
}

bool OpenFromPhone(Editor& editor, PhoneLink* link, const PhoneCommandHooks& hooks)
{
    ProgramState& state = editor.state;
    if (!MayDiscardChanges(editor))
        return false;
    if (!hooks.statusUpdate() || !link) {
        state.ui().message(QString::fromLatin1(kPhoneNotReadyForReadText));
        return false;
    }
    QByteArray bytes;
    bool complete = false;
    {
        ProgressScope progress(state.ui(), state.texts.STAT(15));
        // The phone does not say how long its file is: the bar runs against
        // the users dictionary size the settings expect.
        const int expected = qMax(1, state.settings.UsersDictionarySize);
        const TransferProgress shown = [&hooks, expected](int done, int total) {
            if (total <= 0)
                total = qMax(expected, done);
            return hooks.progress ? hooks.progress(done, total) : true;
        };
        complete = link->download(QString::fromLatin1(kPhoneDictionaryFile), bytes, 4000, shown);
    }
    if (!complete) {
        state.ui().message(QString::fromLatin1(kPhoneReadFailedText));
        return false;
    }
    const QString local = state.path(kDownloadFile);
    writeFileSafely(local, bytes);
    // Read aside, so a declined or broken file leaves the dictionary alone.
    DictionaryTable read;
    if (!ReadDictionaryFile(state, read, local)) {
        RefreshDictionaryStatus(state, editor.table);
        return false;
    }
    StepRecorder step(editor, QStringLiteral("Open from Phone"));
    editor.table.replaceAll(read.rows());
    FinishLoad(editor);
    editor.documentName = QString::fromLatin1(kPhoneDocumentName);
    markDocumentSaved(editor);
    step.setReport(QStringLiteral("Read %1 from the phone").arg(wordsText(editor.table.count())));
    return true;
}

SaveToPhoneOutcome SaveToPhone(Editor& editor, PhoneLink* link, const PhoneCommandHooks& hooks)
{
    ProgramState& state = editor.state;
    // The checks of Save Dictionary: a dictionary with a problem or one that
    // does not fit the phone's file is never sent.
    switch (PrepareSave(editor)) {
    case SaveRefusal::HasProblem:
        RefreshDictionaryStatus(state, editor.table);
        return SaveToPhoneOutcome::HasProblem;
    case SaveRefusal::Full:
        return SaveToPhoneOutcome::Full;
    case SaveRefusal::None:
        break;
    }
    if (RefuseUnstorableWords(editor))
        return SaveToPhoneOutcome::HasProblem;
    const QString local = state.path(kUploadFile);
    WriteDictionaryFile(state, editor.table, local);
    // The phone gets exactly the bytes that were written and checked.
    const QByteArray bytes = readWholeFile(local, kMaxDictionaryFileBytes);

    if (!hooks.statusUpdate() || !link) {
        state.ui().message(state.texts.MESSAGES(27));
        return SaveToPhoneOutcome::NoPhone;
    }
    bool sent = false;
    {
        ProgressScope progress(state.ui(), state.texts.STAT(14));
        if (!link->isOpen())
            link->open();
        sent = link->upload(bytes, QString::fromLatin1(kPhoneDictionaryFile), 1000, hooks.progress);
    }
    if (!sent) {
        state.ui().message(QString::fromLatin1(kPhoneWriteFailedText));
        return SaveToPhoneOutcome::NotSent;
    }
    // A phone restarted on a half-written dictionary would start with it.
    if (state.settings.ReloadPhone)
        link->restart();
    // Only a dictionary the phone took counts as saved and counted.
    if (state.settings.StatisticOn)
        UpdateStatistic(state, editor.table);
    markDocumentSaved(editor);
    state.ui().report(QStringLiteral("Sent %1 to the phone").arg(wordsText(editor.table.count())));
    return SaveToPhoneOutcome::Sent;
}

QStringList PhoneInformation(Editor& editor, PhoneLink* link, const PhoneCommandHooks& hooks)
{
    (void)editor;
    if (!hooks.statusUpdate() || !link)
        return {};
    QByteArray bytes;
    const bool complete = link->download(QString::fromLatin1(kPhoneDictionaryFile), bytes, 4000, hooks.progress);
    const QString model = link->model();
    const QString imei = link->imei();
    const QString flex = link->flexVersion();
    if (!complete && model.isEmpty() && imei.isEmpty() && flex.isEmpty())
        throw VexlonError(QStringLiteral("Nothing could be read from the phone."));
    return {QStringLiteral("Phone Model-> ") + model, QStringLiteral("Phone IMEI: ") + imei,
            QStringLiteral("Phone Flex: ") + flex,
            complete ? QStringLiteral("iTAP Users Dictionary file size-> %1 bytes").arg(bytes.size())
                     : QStringLiteral("iTAP Users Dictionary file size-> could not be read")};
}

} // namespace vexlon
