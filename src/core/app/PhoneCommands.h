// The phone commands, apart from any window and from the phone component
// set: Open from Phone, Save to Phone, the phone status line and the phone
// information. They talk to the current phone through PhoneLink, which the
// editor and the command-line tool implement over the phone components and
// the tests over a fake phone.
#pragma once

#include "core/app/Editor.h"
#include "core/app/PhoneBackups.h"

#include <QByteArray>
#include <QStringList>

#include <QString>
#include <functional>

namespace vexlon {

inline const char* const kPhoneDictionaryFile = "/a/iTAP_User_Dictionary";
inline const char* const kDownloadFile = "TempFile/PhDLFile.iud";
inline const char* const kUploadFile = "TempFile/PhULFile.iud";

// Progress of a transfer: (done, total); the answer true lets it go on.
using TransferProgress = std::function<bool(int done, int total)>;

class PhoneLink {
public:
    virtual ~PhoneLink() = default;
    // Whether there is a current phone, and whether it is open.
    virtual bool hasCurrentPhone() = 0;
    virtual bool isOpen() = 0;
    virtual bool open() = 0;
    virtual QString model() = 0;
    virtual QString imei() = 0;
    virtual QString flexVersion() = 0;
    // Reads the whole phone file; false when the phone refused it or failed
    // on the way (bytes then holds what came so far).
    virtual bool download(const QString& phoneFile, QByteArray& bytes, int chunk, const TransferProgress& progress) = 0;
    // Writes bytes as the phone file; false when any part of it, or the
    // closing of the file, was refused or failed.
    virtual bool upload(const QByteArray& bytes, const QString& phoneFile, int chunk, const TransferProgress& progress) = 0;
    virtual bool restart() = 0;
};

struct PhoneStatus {
    QString text;
    bool green = false;
    bool ready = false;
};

// The phone status line: MESSAGES[20] and the model in green when the
// current phone is open, MESSAGES[20] in red when it is present but not
// open, MESSAGES[21] in red without a phone (link may be null).
PhoneStatus phoneStatus(const ProgramState& state, PhoneLink* link);

// Hooks into the window for the commands.
struct PhoneCommandHooks {
    // Refreshes the phone status line and returns whether the phone is ready.
    std::function<bool()> statusUpdate;
    // The transfer progress display.
    TransferProgress progress;
};

// Told when the phone's dictionary could not be read whole.
inline const char* const kPhoneReadFailedText =
    "The dictionary could not be read from the phone. Nothing was changed.";
// Told when an upload failed part-way.
inline const char* const kPhoneWriteFailedText =
    "File Has not sent. The phone refused or lost part of the dictionary, so the dictionary on the phone may now "
    "be incomplete: save to the phone again before you use it.";

inline const char* const kPhoneNotReadyForReadText = "The phone is not ready. Nothing has been read from it.";
// What the title names a dictionary read from the phone.
inline const char* const kPhoneDocumentName = "phone";

// Open from Phone: asks before discarding a modified table; reads the
// phone's dictionary, keeps it as TempFile/PhDLFile.iud, reads that aside
// and only then replaces the table, with the follow-up of every load (no
// white list); the table counts as unmodified afterwards (one undoable
// step). Without a ready phone, or when the read fails part-way, nothing
// changes and the user is told. True when the table was replaced.
bool OpenFromPhone(Editor& editor, PhoneLink* link, const PhoneCommandHooks& hooks);

// Told when the phone's dictionary cannot be read before a write.
inline const char* const kNoBackupQuestionText =
    "The dictionary on the phone could not be read, so no backup of it can be kept before it is replaced. "
    "Write to the phone anyway?";
// Told when the backup cannot be stored (%1: the reason).
inline const char* const kBackupFailedText =
    "No backup of the phone's dictionary could be kept, so nothing was sent to the phone. %1";
// Told when the read-back after a write differs from what was sent.
inline const char* const kPhoneCheckDiffersText =
    "The phone did not store what was sent: the dictionary read back from it differs. The dictionary on the "
    "phone may be damaged.";
// Told when the read-back after a write fails.
inline const char* const kPhoneCheckUnreadText =
    "The dictionary was sent, but it could not be read back from the phone to check it. The dictionary on the "
    "phone may be damaged.";
// Offered after a failed or mismatched write (%1: the backup).
inline const char* const kOfferRestoreText = "Restore the newest backup of this phone (%1) to the phone now?";

// Asked before an empty dictionary replaces words on the phone (%1: how many).
inline const char* const kEmptyOverWordsText =
    "The dictionary has no words, and the one on the phone holds %1. Replace them with an empty dictionary?";

enum class SaveToPhoneOutcome { Sent, NotSent, NoPhone, HasProblem, Full, NoBackup, NotVerified, Declined };
// Save to Phone: the pre-save check (offering the repair), ordering by
// Number, the capacity check (a table that does not fit is refused as Save
// Dictionary refuses it), TempFile/PhULFile.iud; then the phone's present
// dictionary is read and kept in the phone's backup ring (when it cannot be
// read the user is asked whether to write without a backup; when it cannot
// be stored nothing is sent; an empty table over a phone that holds words is
// sent only after a Yes), the upload of the checked bytes, and a read-back
// compared byte for byte. A failed upload (kPhoneWriteFailedText) or a
// read-back that fails or differs is a failure: no restart, no statistic,
// the table stays modified, and the newest backup is offered for restoring.
// Only after a write that was read back identical come the restart when
// set, the statistic when on, and the table counts as unmodified.
SaveToPhoneOutcome SaveToPhone(Editor& editor, PhoneLink* link, const PhoneCommandHooks& hooks);

// The backup ring of the current phone (by its IMEI).
PhoneBackupRing PhoneBackupsOf(const ProgramState& state, PhoneLink& link);

enum class RestoreOutcome { Restored, NotRestored, NoPhone, BadBackup, NoBackup, NotVerified };
// Writes a backup to the current phone as Save to Phone writes a
// dictionary: its checksum and its bytes are checked first (a backup that
// is not a whole dictionary is never sent), then, when backUpFirst, the
// phone's present dictionary is kept, then the upload and the read-back.
// Tells the user the outcome.
RestoreOutcome RestorePhoneBackup(Editor& editor, PhoneLink* link, const PhoneCommandHooks& hooks,
                                  const PhoneBackup& backup, bool backUpFirst = true);

// The four lines of the phone information window, or an empty list when
// the phone is not ready. Throws VexlonError when nothing at all could be
// read from the phone.
QStringList PhoneInformation(Editor& editor, PhoneLink* link, const PhoneCommandHooks& hooks);

// Open in Editor for a backup: its checksum is checked first (FileError
// when it no longer matches), unsaved words are not dropped without a Yes,
// and the file is opened as Open Dictionary opens a users dictionary. True
// when the table now holds the backup.
bool OpenPhoneBackup(Editor& editor, const PhoneBackup& backup);

// What the title calls a backup opened in the editor.
QString phoneBackupTitle(const PhoneBackup& backup);

// Save As for a backup: its checked bytes, written whole or not at all.
// Throws FileError for a backup that changed, a name that cannot be
// reached, a target inside the backups' own folder (it would replace a
// backup or the index naming them), or a failed write.
void SavePhoneBackupAs(const ProgramState& state, const PhoneBackup& backup, const QString& target);

} // namespace vexlon
