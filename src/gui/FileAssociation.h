// The per-user registration of dictionary files (*.iud) with the desktop:
// a shared-mime-info package that names the type and a desktop entry that
// opens such files with this program. Nothing here needs root.
#pragma once

#include <QString>

namespace vexlon::gui {

inline const char* const kDictionaryMimeType = "application/x-vexlon-iud";

// The desktop entry's Exec line for the program: its path (quoted when it
// holds characters the desktop entry format reserves) and "%f".
QString desktopExecLine(const QString& executablePath);

// The two files' contents.
QByteArray mimePackageContent();
QByteArray desktopEntryContent(const QString& executablePath);

// Writes "<dataHome>/mime/packages/vexlon.xml" and
// "<dataHome>/applications/vexlon.desktop" (dataHome empty: the user's data
// folder, $XDG_DATA_HOME or ~/.local/share), then refreshes the desktop's
// caches with update-mime-database and update-desktop-database where they
// are installed (runTools false: never). True when both files were written.
bool RegisterFileAssociation(const QString& executablePath, const QString& dataHome = QString(),
                             bool runTools = true);

// The user's data folder as the desktop looks it up.
QString userDataHome();

} // namespace vexlon::gui
