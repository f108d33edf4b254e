#include "core/app/PhoneCommands.h"

#include "core/app/DictionaryFiles.h"
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

void OpenFromPhone(Editor& editor, PhoneLink* link, const PhoneCommandHooks& hooks)
{
    ProgramState& state = editor.state;
    if (!hooks.statusUpdate() || !link) {
        // Nothing was read; the table counts as unmodified all the same.
        editor.table.modified = false;
        return;
    }
    QByteArray bytes;
    bool complete = false;
    {
        ProgressScope progress(state.ui(), state.texts.STAT(15));
        complete = link->download(QString::fromLatin1(kPhoneDictionaryFile), bytes, 4000, hooks.progress);
    }
    if (!complete) {
        state.ui().message(QString::fromLatin1(kPhoneReadFailedText));
        return;
    }
    const QString local = state.path(kDownloadFile);
    writeFileSafely(local, bytes);
    {
        UpdateScope update(editor.table);
        if (!ReadDictionaryFile(state, editor.table, local)) {
            editor.table.modified = false;
            return;
        }
    }
    FinishLoad(editor);
    editor.table.modified = false;
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
    const QString local = state.path(kUploadFile);
    WriteDictionaryFile(state, editor.table, local);
    // The phone gets exactly the bytes that were written and checked.
    const QByteArray bytes = readWholeFile(local, kMaxDictionaryFileBytes);

    SaveToPhoneOutcome outcome = SaveToPhoneOutcome::NoPhone;
    if (!hooks.statusUpdate() || !link) {
        state.ui().message(state.texts.MESSAGES(27));
    } else {
        bool sent = false;
        {
            ProgressScope progress(state.ui(), state.texts.STAT(14));
            if (!link->isOpen())
                link->open();
            sent = link->upload(bytes, QString::fromLatin1(kPhoneDictionaryFile), 1000, hooks.progress);
        }
        if (!sent)
            state.ui().message(QString::fromLatin1(kPhoneWriteFailedText));
        outcome = sent ? SaveToPhoneOutcome::Sent : SaveToPhoneOutcome::NotSent;
        // A phone restarted on a half-written dictionary would start with it.
        if (sent && state.settings.ReloadPhone)
            link->restart();
    }
    if (outcome == SaveToPhoneOutcome::NotSent)
        return outcome;
    if (state.settings.StatisticOn)
        UpdateStatistic(state, editor.table);
    editor.table.modified = false;
    return outcome;
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
