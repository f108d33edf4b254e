#include "core/base/ProgramDirectory.h"

#include "core/base/Errors.h"
#include "core/base/TextFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace vexlon {

namespace {

QString withSlash(QString dir)
{
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

// Copies every file of from that to lacks; existing files are the user's and
// stay as they are.
void seed(const QString& from, const QString& to)
{
    QDir source(from);
    if (!source.exists())
        return;
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + source.relativeFilePath(path);
        if (it.fileInfo().isDir()) {
            QDir().mkpath(target);
        } else if (!QFileInfo::exists(target)) {
            QDir().mkpath(QFileInfo(target).absolutePath());
            // A copy that fails (a full disk) leaves no half file behind;
            // start-up then finds the file missing and says so.
            try {
                writeFileSafely(target, readWholeFile(path, kMaxListFileBytes));
            } catch (const FileError&) {
                continue;
            }
            QFile(target).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        }
    }
}

} // namespace

QString chooseProgramDirectory(const QString& executableDir, const QString& userDir, const QString& installedDir)
{
    const QString exe = withSlash(executableDir);
    if (QFileInfo(exe + QLatin1String(kLangStructureFile)).isFile())
        return exe;
    const QString user = withSlash(userDir);
    QDir().mkpath(user);
    seed(withSlash(installedDir), user);
    // The transfer folder holds only what the program writes there, so it
    // is made here rather than installed empty.
    QDir().mkpath(user + QStringLiteral("TempFile"));
    return user;
}

QString UserDataDirectory()
{
    QString user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (user.isEmpty())
        user = QDir::homePath() + QStringLiteral("/.local/share/vexlon");
    return withSlash(user);
}

QString ProgramDirectory()
{
    const QString exeDir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    const QString installed = QDir(exeDir).absoluteFilePath(QStringLiteral(VEXLON_RELATIVE_DATA_DIR));
    return chooseProgramDirectory(exeDir, UserDataDirectory(), installed);
}

} // namespace vexlon
