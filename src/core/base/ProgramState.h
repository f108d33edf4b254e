// The program-wide state that the editor's main window owns for the whole
// run and every command reads: the program directory, the settings, the
// language structure, the UI language list and texts, the three word lists,
// and the dialog interface through which commands talk to the user.
#pragma once

#include "core/base/Dialogs.h"
#include "core/base/UiTexts.h"
#include "core/base/VexlonTypes.h"

#include <QString>

namespace vexlon {

struct ProgramState {
    QString programDirectory; // ends with "/"
    TSettings settings;
    TiTAPStructure langStructure;
    TiTAPLanguages languageList;
    UiTexts texts;
    TLST whiteList;
    TLST blackList;
    TSTATLST statisticList;
    IDialogs* dialogs = nullptr;
    // Where the phone backups are kept (the per-user data folder's
    // "PhoneBackups"); empty: the program directory's "PhoneBackups".
    QString phoneBackupFolder;

    IDialogs& ui() const { return *dialogs; }
    QString path(const char* relative) const { return programDirectory + QString::fromLatin1(relative); }
};

} // namespace vexlon
