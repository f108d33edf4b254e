#include "gui/PhoneCommands.h"

#include "app/DictionaryFiles.h"
#include "dictionary/ItudFile.h"
#include "dictionary/TableOps.h"
#include "dictionary/Validation.h"
#include "lists/Statistics.h"

#include <QFile>
#include <QFileInfo>

namespace vexlon::gui {

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
    // However the command ends, the table counts as unmodified.
    struct ClearModified {
        DictionaryTable& table;
        ~ClearModified() { table.modified = false; }
    } clearModified{editor.table};
    if (!hooks.statusUpdate() || !link)
        return;
    {
        UpdateScope update(editor.table);
        const QString local = state.path(kDownloadFile);
        {
            ProgressScope progress(state.ui(), state.texts.STAT(15));
            link->download(QString::fromLatin1(kPhoneDictionaryFile), local, 4000, hooks.progress);
        }
        ReadDictionaryFile(state, editor.table, local);
    }
    FinishLoad(editor);
}

SaveToPhoneOutcome SaveToPhone(Editor& editor, PhoneLink* link, const PhoneCommandHooks& hooks)
{
    ProgramState& state = editor.state;
    if (DictionaryHasProblem(state, editor.table)) {
        if (state.ui().confirm(state.texts.MESSAGES(16), ConfirmKind::Confirmation)) {
            RepairDictionary(state, editor.table);
            RefreshDictionaryStatus(state, editor.table);
        }
        return SaveToPhoneOutcome::HasProblem;
    }
    SortByNumber(editor.table);
    // A dictionary that does not fit the phone's file is refused, as Save
    // Dictionary refuses it; the red status line is the sign.
    if (!RefreshDictionaryStatus(state, editor.table))
        return SaveToPhoneOutcome::Full;
    const QString local = state.path(kUploadFile);
    WriteDictionaryFile(state, editor.table, local);

    SaveToPhoneOutcome outcome = SaveToPhoneOutcome::NoPhone;
    if (!hooks.statusUpdate() || !link) {
        state.ui().message(state.texts.MESSAGES(27));
    } else {
        bool sent = false;
        {
            ProgressScope progress(state.ui(), state.texts.STAT(14));
            if (!link->isOpen())
                link->open();
            sent = link->upload(local, QString::fromLatin1(kPhoneDictionaryFile), 1000, hooks.progress);
        }
        if (!sent)
            state.ui().message(QStringLiteral("File Has not sent"));
        outcome = sent ? SaveToPhoneOutcome::Sent : SaveToPhoneOutcome::NotSent;
        if (state.settings.ReloadPhone)
            link->restart();
    }
    if (state.settings.StatisticOn)
        UpdateStatistic(state, editor.table);
    editor.table.modified = false;
    return outcome;
}

QStringList PhoneInformation(Editor& editor, PhoneLink* link, const PhoneCommandHooks& hooks)
{
    if (!hooks.statusUpdate() || !link)
        return {};
    const QString local = editor.state.path(kInfoFile);
    link->download(QString::fromLatin1(kPhoneDictionaryFile), local, 4000, hooks.progress);
    const qint64 size = QFileInfo(local).size();
    QFile::remove(local);
    return {QStringLiteral("Phone Model-> ") + link->model(), QStringLiteral("Phone IMEI: ") + link->imei(),
            QStringLiteral("Phone Flex: ") + link->flexVersion(),
            QStringLiteral("iTAP Users Dictionary file size-> %1 bytes").arg(size)};
}

} // namespace vexlon::gui
