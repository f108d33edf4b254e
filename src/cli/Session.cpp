#include "cli/Session.h"

#include "core/base/LanguagePacks.h"
#include "core/base/ProgramDirectory.h"
#include "core/base/Settings.h"
#include "core/app/Commands.h"
#include "core/app/StartUp.h"
#include "core/base/Errors.h"
#include "core/dictionary/LangStructure.h"
#include "core/lists/ListFiles.h"

#include <QDir>
#include <QFileInfo>

namespace vexlon::cli {

Session::Session(const GlobalOptions& opts, std::ostream& o, std::ostream& e)
    : options(opts), out(o), err(e), m_dialogs(e, opts.yes)
{
    editor.state.dialogs = &m_dialogs;
}

bool Session::load()
{
    ProgramState& state = editor.state;
    QString dir = options.dataDir.empty() ? ProgramDirectory() : QDir(QString::fromStdString(options.dataDir)).absolutePath();
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    state.programDirectory = dir;
    state.phoneBackupFolder = UserDataDirectory() + QStringLiteral("PhoneBackups/");

    // The same texts as the editor's: the English pack fills what the
    // chosen pack lacks.
    const UiTexts fallback = LoadFallbackTexts(dir);
    FillMissingTexts(state.texts, fallback);
    if (!LoadLangStructure(state.path(kLangStructureFile), state.langStructure)) {
        err << kCriticalStructureMessage << '\n';
        return false;
    }
    if (!LoadSettings(state.path(kSettingsFileName), state.settings)) {
        err << "warning: " << state.path(kSettingsFileName).toStdString()
            << " is missing or corrupt; the default settings are used\n";
        SetDefaultSettings(state.settings);
    }
    if (!LoadLanguageList(dir, state.languageList))
        state.languageList.Tag = QString::fromLatin1(kCorruptTag);
    LoadActivePack(state, fallback);
    if (!readLists)
        return true;
    // Each list on its own: one that cannot be read, for whatever reason,
    // is reported and left empty, and the others are still read.
    for (ListKind kind : {ListKind::Statistic, ListKind::White, ListKind::Black}) {
        bool read = false;
        try {
            read = ReadProgramList(state, kind);
        } catch (const VexlonError& e) {
            err << "warning: " << e.message().toStdString() << '\n';
            read = false;
        }
        if (!read) {
            const bool missing = !QFileInfo::exists(state.path(listFileName(kind)));
            if (kind == ListKind::Statistic)
                statisticMissing = missing;
            if (!(kind == ListKind::Statistic && missing && statisticMayBeMissing))
                err << "warning: " << listReadErrorText(kind).toStdString() << '\n';
            if (kind == ListKind::Statistic)
                state.statisticList = TSTATLST();
            else if (kind == ListKind::White)
                state.whiteList = TLST();
            else
                state.blackList = TLST();
        }
        (kind == ListKind::Statistic ? statisticRead : kind == ListKind::White ? whiteRead : blackRead) = read;
    }
    return true;
}

} // namespace vexlon::cli
