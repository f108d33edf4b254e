#include "core/app/PhoneCommands.h"

#include "core/app/DictionaryFiles.h"
#include "core/app/History.h"
#include "core/dictionary/ItudFile.h"
#include "core/dictionary/TableOps.h"
#include "core/dictionary/Validation.h"
#include "core/lists/Statistics.h"

#include "core/base/Errors.h"
#include "core/base/TextFile.h"

#include <QDir>
#include <QFileInfo>

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

namespace {

const QString phoneFile()
{
    return QString::fromLatin1(kPhoneDictionaryFile);
}

enum class Stored { Same, NotSent, Differs, Unread };

// Writes bytes as the phone's dictionary and reads them back.
Stored writeAndCheck(const ProgramState& state, PhoneLink& link, const QByteArray& bytes,
                     const PhoneCommandHooks& hooks)
{
    {
        ProgressScope progress(state.ui(), state.texts.STAT(14));
        if (!link.isOpen())
            link.open();
        if (!link.upload(bytes, phoneFile(), 1000, hooks.progress))
            return Stored::NotSent;
    }
    ProgressScope progress(state.ui(), QStringLiteral("Checking the dictionary on the phone"));
    QByteArray back;
    if (!link.download(phoneFile(), back, 4000, hooks.progress))
        return Stored::Unread;
    return back == bytes ? Stored::Same : Stored::Differs;
}

enum class BackupStep { Kept, WithoutBackup, Declined, Failed };

// Keeps bytes read whole from the phone in its ring; a failure to store
// them is told and ends the write.
BackupStep keepInRing(const ProgramState& state, PhoneBackupRing& ring, const QByteArray& bytes)
{
    try {
        ring.keep(bytes, QDateTime::currentDateTimeUtc());
        return BackupStep::Kept;
    } catch (const VexlonError& e) {
        state.ui().message(QString::fromLatin1(kBackupFailedText).arg(e.message()));
        return BackupStep::Failed;
    }
}

// Reads the phone's present dictionary into its backup ring before a write.
BackupStep backUpPhone(const ProgramState& state, PhoneLink& link, PhoneBackupRing& ring,
                       const PhoneCommandHooks& hooks, int* presentWords = nullptr)
{
    QByteArray present;
    bool read = false;
    {
        ProgressScope progress(state.ui(), state.texts.STAT(15));
        if (!link.isOpen())
            link.open();
        read = link.download(phoneFile(), present, 4000, hooks.progress);
    }
    if (!read || present.isEmpty()) {
        return state.ui().confirm(QString::fromLatin1(kNoBackupQuestionText), ConfirmKind::Warning)
                   ? BackupStep::WithoutBackup
                   : BackupStep::Declined;
    }
    if (presentWords)
        *presentWords = dictionaryWordCount(present);
    return keepInRing(state, ring, present);
}

// Whether the write may go on after the backup step.
bool mayWrite(BackupStep step)
{
    return step == BackupStep::Kept || step == BackupStep::WithoutBackup;
}

// Tells what went wrong with a write that was not stored as sent.
void tellFailedWrite(const ProgramState& state, Stored stored)
{
    const char* text = stored == Stored::NotSent  ? kPhoneWriteFailedText
                       : stored == Stored::Differs ? kPhoneCheckDiffersText
                                                   : kPhoneCheckUnreadText;
    state.ui().message(QString::fromLatin1(text));
}

// After a write that failed or was not stored as sent: offers the newest
// backup of the phone's ring (found before the write: a phone that has left
// cannot tell its IMEI), or says where it is when the phone is gone.
void offerRestore(Editor& editor, PhoneLink& link, const PhoneBackupRing& ring, const PhoneCommandHooks& hooks)
{
    const ProgramState& state = editor.state;
    const QList<PhoneBackup> backups = ring.list();
    if (backups.isEmpty())
        return;
    if (!hooks.statusUpdate()) {
        state.ui().message(QStringLiteral("The phone's previous dictionary is kept as a backup (%1). It can be "
                                          "restored to the phone once the phone is back.")
                               .arg(describeBackup(backups.first())));
        return;
    }
    if (state.ui().confirm(QString::fromLatin1(kOfferRestoreText).arg(describeBackup(backups.first())),
                           ConfirmKind::Warning))
        RestorePhoneBackup(editor, &link, hooks, backups.first(), false);
}

} // namespace

PhoneBackupRing PhoneBackupsOf(const ProgramState& state, PhoneLink& link)
{
    return PhoneBackupRing(phoneBackupRoot(state), link.imei(), state.settings.PhoneBackupCount);
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
    // Every dictionary read whole from a phone is kept in its backup ring
    // (once: an identical one is not kept again); a ring that cannot be
    // written does not stop the reading.
    try {
        PhoneBackupsOf(state, *link).keep(bytes, QDateTime::currentDateTimeUtc());
    } catch (const VexlonError& e) {
        state.ui().report(QStringLiteral("No backup of the phone's dictionary was kept: ") + e.message());
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
    PhoneBackupRing ring = PhoneBackupsOf(state, *link);
    int presentWords = 0;
    if (!mayWrite(backUpPhone(state, *link, ring, hooks, &presentWords)))
        return SaveToPhoneOutcome::NoBackup;
    // An empty table sent by mistake (a new dictionary) would wipe the
    // phone's words: asked first.
    if (editor.table.count() == 0 && presentWords > 0
        && !state.ui().confirm(QString::fromLatin1(kEmptyOverWordsText).arg(presentWords), ConfirmKind::Warning))
        return SaveToPhoneOutcome::Declined;
    if (const Stored stored = writeAndCheck(state, *link, bytes, hooks); stored != Stored::Same) {
        tellFailedWrite(state, stored);
        offerRestore(editor, *link, ring, hooks);
        return stored == Stored::NotSent ? SaveToPhoneOutcome::NotSent : SaveToPhoneOutcome::NotVerified;
    }
    // A phone restarted on a half-written dictionary would start with it.
    if (state.settings.ReloadPhone)
        link->restart();
    // Only a dictionary the phone stored as sent counts as saved and counted.
    if (state.settings.StatisticOn)
        UpdateStatistic(state, editor.table);
    markDocumentSaved(editor);
    state.ui().report(QStringLiteral("Sent %1 to the phone and read them back unchanged")
                          .arg(wordsText(editor.table.count())));
    return SaveToPhoneOutcome::Sent;
}

RestoreOutcome RestorePhoneBackup(Editor& editor, PhoneLink* link, const PhoneCommandHooks& hooks,
                                  const PhoneBackup& backup, bool backUpFirst)
{
    const ProgramState& state = editor.state;
    QByteArray bytes;
    try {
        bytes = PhoneBackupRing::bytesOf(backup);
    } catch (const VexlonError& e) {
        state.ui().message(e.message() + QStringLiteral(" Nothing was sent to the phone."));
        return RestoreOutcome::BadBackup;
    }
    if (const QString problem = dictionaryBytesProblem(bytes); !problem.isEmpty()) {
        state.ui().message(QStringLiteral("The backup (%1) is not a dictionary the phone can take, so nothing was "
                                          "sent to the phone. %2")
                               .arg(describeBackup(backup), problem));
        return RestoreOutcome::BadBackup;
    }
    if (!link || !hooks.statusUpdate()) {
        state.ui().message(state.texts.MESSAGES(27));
        return RestoreOutcome::NoPhone;
    }
    if (backUpFirst) {
        PhoneBackupRing ring = PhoneBackupsOf(state, *link);
        if (!mayWrite(backUpPhone(state, *link, ring, hooks)))
            return RestoreOutcome::NoBackup;
    }
    if (const Stored stored = writeAndCheck(state, *link, bytes, hooks); stored != Stored::Same) {
        tellFailedWrite(state, stored);
        return stored == Stored::NotSent ? RestoreOutcome::NotRestored : RestoreOutcome::NotVerified;
    }
    if (state.settings.ReloadPhone)
        link->restart();
    state.ui().report(QStringLiteral("Restored the backup of %1 to the phone").arg(describeBackup(backup)));
    return RestoreOutcome::Restored;
}

bool OpenPhoneBackup(Editor& editor, const PhoneBackup& backup)
{
    // A backup whose file no longer holds what was kept is not opened.
    PhoneBackupRing::bytesOf(backup);
    if (!MayDiscardChanges(editor))
        return false;
    return OpenDictionaryFile(editor, backup.path, OpenFilter::UsersDictionary);
}

QString phoneBackupTitle(const PhoneBackup& backup)
{
    return QStringLiteral("Backup of phone %1, %2")
        .arg(backup.phone, backup.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

void SavePhoneBackupAs(const ProgramState& state, const PhoneBackup& backup, const QString& target)
{
    if (const QString reason = unreachableNameReason(target); !reason.isEmpty())
        throw FileError(reason);
    const QString root = QDir(phoneBackupRoot(state)).canonicalPath();
    const QString folder = QFileInfo(QFileInfo(target).absolutePath()).canonicalFilePath();
    if (!root.isEmpty() && (folder == root || folder.startsWith(root + QLatin1Char('/'))))
        throw FileError(QStringLiteral("The folder of the phone backups is kept by Vexlon itself: choose a file in "
                                       "another folder."));
    writeFileSafely(target, PhoneBackupRing::bytesOf(backup));
    state.ui().report(
        QStringLiteral("Saved the backup of %1 to %2").arg(describeBackup(backup), QDir::toNativeSeparators(target)));
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
