#include "gui/FileAssociation.h"

#include "core/base/Errors.h"
#include "core/base/TextFile.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

namespace vexlon::gui {

QString userDataHome()
{
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QStringLiteral("/.local/share");
}

QString desktopExecLine(const QString& executablePath)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool quote = false;
    for (QChar c : executablePath)
        quote = quote || reserved.contains(c);
    QString path = executablePath;
    if (quote) {
        QString escaped;
        for (QChar c : executablePath) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
                escaped += QLatin1Char('\\');
            escaped += c;
        }
        // The desktop entry format reads a backslash in a value as an escape
        // of its own, so every backslash is written twice once more.
        escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
        path = QLatin1Char('"') + escaped + QLatin1Char('"');
    }
    return path + QStringLiteral(" %f");
}

QByteArray mimePackageContent()
{
    // The same file that is installed into the system's MIME packages.
    return readWholeFile(QStringLiteral(":/desktop/vexlon-mime.xml"));
}

QByteArray desktopEntryContent(const QString& executablePath)
{
    QByteArray entry = QByteArrayLiteral(
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Vexlon\n"
        "GenericName=Phone Dictionary Editor\n"
        "Comment=Edit the user dictionary of P2K mobile phones\n"
        "Icon=vexlon\n"
        "Terminal=false\n"
        "Categories=Utility;\n"
        "MimeType=application/x-vexlon-iud;\n");
    entry += "Exec=" + desktopExecLine(executablePath).toUtf8() + "\n";
    return entry;
}

bool RegisterFileAssociation(const QString& executablePath, const QString& dataHome, bool runTools)
{
    const QString home = dataHome.isEmpty() ? userDataHome() : dataHome;
    const QString mimeDir = home + QStringLiteral("/mime");
    const QString appsDir = home + QStringLiteral("/applications");
    bool written = true;
    try {
        QDir().mkpath(mimeDir + QStringLiteral("/packages"));
        QDir().mkpath(appsDir);
        writeFileSafely(mimeDir + QStringLiteral("/packages/vexlon.xml"), mimePackageContent());
        writeFileSafely(appsDir + QStringLiteral("/vexlon.desktop"), desktopEntryContent(executablePath));
    } catch (const VexlonError&) {
        written = false;
    }
    if (written && runTools) {
        const QString mimeTool = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
        if (!mimeTool.isEmpty())
            QProcess::startDetached(mimeTool, {mimeDir});
        const QString desktopTool = QStandardPaths::findExecutable(QStringLiteral("update-desktop-database"));
        if (!desktopTool.isEmpty())
            QProcess::startDetached(desktopTool, {appsDir});
    }
    return written;
}

} // namespace vexlon::gui
