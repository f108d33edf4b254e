// The start-up of the editor, before its window is first shown: language
// structure, settings, file association, UI language, the three word lists,
// the white list, the status line and the phone handling, in this order,
// each missing or corrupt file reported by its own message. It only joins
// core operations; the window takes part through the hooks.
#pragma once

#include "core/app/Editor.h"

#include <QStringList>
#include <functional>

namespace vexlon {

inline const char* const kCriticalStructureMessage =
    "Critical ERROR: iTAP Structure file \"iTAP_Lang_structure.dat\" is not file or corrupt. Program terminated";
inline const char* const kSettingsErrorMessage =
    "ERROR[01]: Vexlon.ini file is not found or corupt. Program will set standart settings";
inline const char* const kLanguageListErrorMessage =
    "ERROR[02]: Languges.ini file not found or corupt. Language package optins has been disabled";

struct StartUpHooks {
    std::function<void()> registerFileAssociation;
    // The pack was (re)loaded: put its texts into the main window.
    std::function<void()> applyTexts;
    std::function<void()> startPhoneHandling;
    // An error that ended the sequence early (the error box).
    std::function<void(const QString&)> showError;
};

struct StartUpResult {
    // The language structure could not be read: the program ends as soon as
    // its event loop starts.
    bool terminate = false;
    // Every step ran (false when an error ended the sequence early).
    bool completed = false;
};

// The English pack of the program directory, read as the texts every
// message and status line falls back on while no pack (or a pack short of
// entries) is loaded. Only its MESSAGES and STAT tables are used; the
// windows keep their built-in captions.
UiTexts LoadFallbackTexts(const QString& programDirectory);

// Fills the MESSAGES and STAT entries the active tables lack from the
// fallback tables.
void FillMissingTexts(UiTexts& texts, const UiTexts& fallback);

// Loads the pack numbered Settings.Language (when the language list was
// read) and fills what it lacks from the fallback. True when a pack was read.
bool LoadActivePack(ProgramState& state, const UiTexts& fallback);

StartUpResult RunStartUp(Editor& editor, const UiTexts& fallback, const StartUpHooks& hooks);

// The command-line arguments as one path: the first argument and every
// further one, each preceded by one blank. Empty when there is none.
QString commandLinePath(const QStringList& arguments);

} // namespace vexlon
