// Where the windows keep their size, place, column widths and sort between
// runs: the user's configuration of the program, one group per window.
#pragma once

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace vexlon::gui {

class WindowSettings : public QSettings {
public:
    explicit WindowSettings(const QString& window) : QSettings(QStringLiteral("Vexlon"), QStringLiteral("vexlon"))
    {
        beginGroup(window);
    }
};

inline const QString kDictionaryFolder = QStringLiteral("Dictionary");

// The file dialogs start in the folder last used for their kind of file
// ("Dictionary": dictionaries opened, saved or exported), kept between runs.
// Before the first use, or when that folder is gone: the user's documents
// folder (the home folder where there is none).
inline QString lastFolder(const QString& kind)
{
    const QString folder = WindowSettings(QStringLiteral("Folders")).value(kind).toString();
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        return folder;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

// Remembers the folder of a file the user chose in a file dialog.
inline void rememberFolder(const QString& kind, const QString& filePath)
{
    WindowSettings(QStringLiteral("Folders")).setValue(kind, QFileInfo(filePath).absolutePath());
}

} // namespace vexlon::gui
