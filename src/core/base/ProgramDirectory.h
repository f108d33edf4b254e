// Where the program finds its data files.
#pragma once

#include <QString>

namespace vexlon {

inline const char* const kLangStructureFile = "iTAP_Lang_structure.dat";

// The executable's folder when it holds the language structure file (the
// build tree and portable installs); otherwise the per-user data folder,
// created on first use and seeded from the installed defaults. Ends with "/".
QString ProgramDirectory();

// The per-user data folder ($XDG_DATA_HOME/vexlon or ~/.local/share/vexlon),
// whatever ProgramDirectory() chose. Ends with "/"; not created here.
QString UserDataDirectory();

// The same choice for a given executable folder and installed data folder;
// seeds userDir from installedDir with every file userDir lacks.
QString chooseProgramDirectory(const QString& executableDir, const QString& userDir, const QString& installedDir);

} // namespace vexlon
