// The phone backups: before anything is written to a phone, the dictionary
// the phone holds is read and kept here, so that a write that fails or
// stores other bytes never leaves the user without the previous dictionary.
//
// Each phone has a ring of its last N dictionaries (N = the setting
// PhoneBackupCount), in a folder of its own named by the phone's IMEI,
// under the per-user data folder:
//
//   PhoneBackups/<IMEI>/index.json            time, words, size, SHA-256 of each
//   PhoneBackups/<IMEI>/yyyyMMdd-HHmmsszzz.iud the phone's bytes, as read
//
// A dictionary identical to the newest backup is not kept twice.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace vexlon {

struct ProgramState;

struct PhoneBackup {
    QString phone;    // the ring's key (the IMEI, or "unknown-phone")
    QString path;     // the file holding the bytes
    QDateTime time;   // when the bytes were read, UTC
    int words = 0;    // word records in the bytes
    qint64 size = 0;  // bytes
    QString sha256;   // lower-case hex of the bytes
};

// A problem that keeps bytes from being sent to a phone as its dictionary
// (empty when they are a dictionary file the phone can take).
QString dictionaryBytesProblem(const QByteArray& bytes);

// Word records in a dictionary file's bytes (0 for bytes that are none).
int dictionaryWordCount(const QByteArray& bytes);

// The folder of all rings: ProgramState::phoneBackupFolder, or the program
// directory's "PhoneBackups/" when that is not set. Ends with "/".
QString phoneBackupRoot(const ProgramState& state);

class PhoneBackupRing {
public:
    // The ring of one phone under root; keep is how many backups it holds.
    PhoneBackupRing(const QString& root, const QString& imei, int keep);

    // The ring's key for an IMEI: its letters and digits, or
    // "unknown-phone" when it has none.
    static QString keyFor(const QString& imei);

    const QString& key() const { return m_key; }
    QString folder() const;

    // Newest first. Entries whose file is gone are left out.
    QList<PhoneBackup> list() const;

    // Keeps bytes as the newest backup, read at time, unless they equal the
    // newest one; then drops the oldest beyond the ring's size. Returns the
    // backup that now holds the bytes. Throws FileError when the backup
    // cannot be written (a full disk): no new file is left behind and the
    // ring is as it was.
    PhoneBackup keep(const QByteArray& bytes, const QDateTime& time);

    // The bytes of a backup, checked against its checksum. Throws
    // FileError when the file cannot be read or no longer matches.
    static QByteArray bytesOf(const PhoneBackup& backup);

    // Every ring under root, each newest first, ordered by key.
    static QList<QList<PhoneBackup>> allRings(const QString& root);

private:
    QList<PhoneBackup> readIndex() const;
    void writeIndex(const QList<PhoneBackup>& backups) const;

    QString m_root;
    QString m_key;
    int m_keep;
};

// "2026-12-07 12:30:05, 412 words, 5100 bytes": how a backup is named to
// the user (local time).
QString describeBackup(const PhoneBackup& backup);

} // namespace vexlon
