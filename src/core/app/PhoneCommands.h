// The phone commands, apart from any window and from the phone component
// set: Open from Phone, Save to Phone, the phone status line and the phone
// information. They talk to the current phone through PhoneLink, which the
// editor and the command-line tool implement over the phone components and
// the tests over a fake phone.
#pragma once

#include "core/app/Editor.h"

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

enum class SaveToPhoneOutcome { Sent, NotSent, NoPhone, HasProblem, Full };
// Save to Phone: the pre-save check (offering the repair), ordering by
// Number, the capacity check (a table that does not fit is refused as Save
// Dictionary refuses it), TempFile/PhULFile.iud, the upload of those very
// bytes (kPhoneWriteFailedText when it fails; no restart then), the restart
// when set; only after a complete upload the statistic when on and the
// table counts as unmodified.
SaveToPhoneOutcome SaveToPhone(Editor& editor, PhoneLink* link, const PhoneCommandHooks& hooks);

// The four lines of the phone information window, or an empty list when
// the phone is not ready. Throws VexlonError when nothing at all could be
// read from the phone.
QStringList PhoneInformation(Editor& editor, PhoneLink* link, const PhoneCommandHooks& hooks);

} // namespace vexlon
