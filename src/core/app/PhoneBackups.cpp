#include "core/app/PhoneBackups.h"

#include "core/base/Errors.h"
#include "core/base/ProgramState.h"
#include "core/base/Settings.h"
#include "core/base/TextFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

namespace vexlon {

namespace {

constexpr qsizetype kHeaderSize = 16;
constexpr qsizetype kTrailerSize = 3;
constexpr qsizetype kLargestDictionary = 65535;
const char* const kIndexFile = "index.json";
const char* const kUnknownPhone = "unknown-phone";

int byteAt(const QByteArray& bytes, qsizetype i)
{
    return static_cast<uint8_t>(bytes.at(i));
}

// Walks the records the header counts; the number of word records, or -1
// when a record runs past the records' area or has an impossible length.
int walkRecords(const QByteArray& bytes)
{
    const qsizetype size = bytes.size();
    if (size < kHeaderSize + kTrailerSize)
        return -1;
    const int count = (byteAt(bytes, 6) << 8) | byteAt(bytes, 7);
    const qsizetype end = size - kTrailerSize;
    qsizetype pos = kHeaderSize;
    int words = 0;
    for (int i = 0; i < count; ++i) {
        if (pos + 3 > end)
            return -1;
        const int length = byteAt(bytes, pos);
        const int kind = (byteAt(bytes, pos + 1) << 8) | byteAt(bytes, pos + 2);
        if (length < 3 || pos + length > end)
            return -1;
        if (kind == 0x0100) {
            if (length < 5 || 5 + byteAt(bytes, pos + 4) > length)
                return -1;
            ++words;
        }
        pos += length;
    }
    return words;
}

QString hexSha256(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

QString withSlash(QString path)
{
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

} // namespace

QString dictionaryBytesProblem(const QByteArray& bytes)
{
    if (bytes.size() < kHeaderSize + kTrailerSize)
        return QStringLiteral("%1 bytes are too few for a users dictionary.").arg(bytes.size());
    if (bytes.size() > kLargestDictionary)
        return QStringLiteral("%1 bytes are more than a users dictionary can hold.").arg(bytes.size());
    if (byteAt(bytes, 0) != 0x07 || byteAt(bytes, 1) != 0xDA)
        return QStringLiteral("The bytes do not start as a users dictionary does.");
    // The header gives the file's full size less 19: a file written only
    // part-way is shorter.
    const qsizetype declared = ((byteAt(bytes, 2) << 8) | byteAt(bytes, 3)) + kHeaderSize + kTrailerSize;
    if (bytes.size() < declared)
        return QStringLiteral("The file is cut short: %1 of its %2 bytes are there.").arg(bytes.size()).arg(declared);
    if (walkRecords(bytes) < 0)
        return QStringLiteral("The word records are damaged.");
    return QString();
}

int dictionaryWordCount(const QByteArray& bytes)
{
    return qMax(0, walkRecords(bytes));
}

QString phoneBackupRoot(const ProgramState& state)
{
    if (!state.phoneBackupFolder.isEmpty())
        return withSlash(state.phoneBackupFolder);
    return state.programDirectory + QStringLiteral("PhoneBackups/");
}

PhoneBackupRing::PhoneBackupRing(const QString& root, const QString& imei, int keep)
    : m_root(withSlash(root)), m_key(keyFor(imei)), m_keep(qBound(1, keep, kMaxPhoneBackupCount))
{
}

QString PhoneBackupRing::keyFor(const QString& imei)
{
    QString key;
    for (const QChar c : imei) {
        if (c.unicode() < 0x80 && c.isLetterOrNumber())
            key += c;
    }
    return key.isEmpty() ? QString::fromLatin1(kUnknownPhone) : key;
}

QString PhoneBackupRing::folder() const
{
    return m_root + m_key + QLatin1Char('/');
}

QList<PhoneBackup> PhoneBackupRing::readIndex() const
{
    QList<PhoneBackup> backups;
    const QString indexPath = folder() + QLatin1String(kIndexFile);
    if (!QFileInfo(indexPath).isFile())
        return backups;
    QByteArray bytes;
    try {
        bytes = readWholeFile(indexPath);
    } catch (const FileError&) {
        return backups;
    }
    const QJsonArray entries = QJsonDocument::fromJson(bytes).object().value(QStringLiteral("backups")).toArray();
    for (const QJsonValue& value : entries) {
        const QJsonObject o = value.toObject();
        PhoneBackup b;
        b.phone = m_key;
        const QString name = o.value(QStringLiteral("file")).toString();
        // Only plain names inside the ring's own folder.
        if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.startsWith(QLatin1Char('.')))
            continue;
        b.path = folder() + name;
        b.time = QDateTime::fromString(o.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs);
        b.words = o.value(QStringLiteral("words")).toInt();
        b.size = qint64(o.value(QStringLiteral("size")).toDouble());
        b.sha256 = o.value(QStringLiteral("sha256")).toString();
        if (b.time.isValid() && !b.sha256.isEmpty())
            backups.append(b);
    }
    return backups;
}

void PhoneBackupRing::writeIndex(const QList<PhoneBackup>& backups) const
{
    QJsonArray entries;
    for (const PhoneBackup& b : backups) {
        entries.append(QJsonObject {
            {QStringLiteral("file"), QFileInfo(b.path).fileName()},
            {QStringLiteral("time"), b.time.toUTC().toString(Qt::ISODateWithMs)},
            {QStringLiteral("words"), b.words},
            {QStringLiteral("size"), double(b.size)},
            {QStringLiteral("sha256"), b.sha256},
        });
    }
    const QJsonObject root {{QStringLiteral("phone"), m_key}, {QStringLiteral("backups"), entries}};
    writeFileSafely(folder() + QLatin1String(kIndexFile), QJsonDocument(root).toJson(QJsonDocument::Indented));
}

QList<PhoneBackup> PhoneBackupRing::list() const
{
    QList<PhoneBackup> present;
    for (const PhoneBackup& b : readIndex()) {
        if (QFileInfo(b.path).isFile())
            present.append(b);
    }
    return present;
}

PhoneBackup PhoneBackupRing::keep(const QByteArray& bytes, const QDateTime& time)
{
    QList<PhoneBackup> backups = list();
    const QString sum = hexSha256(bytes);
    if (!backups.isEmpty() && backups.first().sha256 == sum && backups.first().size == bytes.size())
        return backups.first();

    if (!QDir().mkpath(folder()))
        throw FileError::cannotCreate(folder(), QStringLiteral("the folder cannot be made"));
    PhoneBackup b;
    b.phone = m_key;
    b.time = time.toUTC();
    b.words = dictionaryWordCount(bytes);
    b.size = bytes.size();
    b.sha256 = sum;
    QString base = b.time.toString(QStringLiteral("yyyyMMdd-HHmmsszzz"));
    b.path = folder() + base + QStringLiteral(".iud");
    for (int n = 2; QFileInfo::exists(b.path); ++n)
        b.path = folder() + base + QStringLiteral("-%1.iud").arg(n);

    writeFileSafely(b.path, bytes);
    QList<PhoneBackup> kept = backups;
    kept.prepend(b);
    const QList<PhoneBackup> dropped = kept.mid(m_keep);
    kept = kept.mid(0, m_keep);
    try {
        writeIndex(kept);
    } catch (const FileError&) {
        QFile::remove(b.path);
        throw;
    }
    // The index no longer names them; a file that cannot be removed only
    // takes room.
    for (const PhoneBackup& old : dropped)
        QFile::remove(old.path);
    return b;
}

QByteArray PhoneBackupRing::bytesOf(const PhoneBackup& backup)
{
    const QByteArray bytes = readWholeFile(backup.path, kMaxDictionaryFileBytes);
    if (hexSha256(bytes) != backup.sha256)
        throw FileError(QStringLiteral("The backup %1 has changed since it was kept; its checksum no longer matches.")
                            .arg(QDir::toNativeSeparators(backup.path)));
    return bytes;
}

QList<QList<PhoneBackup>> PhoneBackupRing::allRings(const QString& root)
{
    QList<QList<PhoneBackup>> rings;
    const QStringList keys = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& key : keys) {
        const PhoneBackupRing ring(root, key, kMaxPhoneBackupCount);
        if (ring.key() != key)
            continue;
        const QList<PhoneBackup> backups = ring.list();
        if (!backups.isEmpty())
            rings.append(backups);
    }
    return rings;
}

QString describeBackup(const PhoneBackup& backup)
{
    return QStringLiteral("%1, %2 words, %3 bytes")
        .arg(backup.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
        .arg(backup.words)
        .arg(backup.size);
}

} // namespace vexlon
