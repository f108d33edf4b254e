#include "core/app/StartUp.h"

#include "core/app/Commands.h"
#include "core/base/Errors.h"
#include "core/base/LanguagePacks.h"
#include "core/base/ProgramDirectory.h"
#include "core/base/Settings.h"
#include "core/dictionary/LangStructure.h"
#include "core/dictionary/TableOps.h"

namespace vexlon {

UiTexts LoadFallbackTexts(const QString& programDirectory)
{
    TiTAPLanguages english;
    english.Tag = QString::fromLatin1(kVersionTag);
    english.Count = 1;
    english.Items.append({QStringLiteral("English"), programDirectory + QStringLiteral("/Languages/English.lng")});
    UiTexts texts;
    LoadLanguagePack(english, 0, texts);
    texts.ui.clear();
    return texts;
}

void FillMissingTexts(UiTexts& texts, const UiTexts& fallback)
{
    for (qsizetype i = texts.messages.size(); i < fallback.messages.size(); ++i)
        texts.messages.append(fallback.messages.at(i));
    for (qsizetype i = texts.stat.size(); i < fallback.stat.size(); ++i)
        texts.stat.append(fallback.stat.at(i));
}

bool LoadActivePack(ProgramState& state, const UiTexts& fallback)
{
    bool loaded = false;
    if (state.languageList.Tag == QLatin1String(kVersionTag))
        loaded = LoadLanguagePack(state.languageList, state.settings.Language, state.texts);
    FillMissingTexts(state.texts, fallback);
    return loaded;
}

StartUpResult RunStartUp(Editor& editor, const UiTexts& fallback, const StartUpHooks& hooks)
{
    ProgramState& state = editor.state;
    IDialogs& ui = state.ui();
    StartUpResult result;
    // Messages shown before a pack is loaded already speak the fallback's words.
    FillMissingTexts(state.texts, fallback);
    try {
        if (!LoadLangStructure(state.path(kLangStructureFile), state.langStructure)) {
            ui.message(QString::fromLatin1(kCriticalStructureMessage));
            result.terminate = true;
        }
        if (!LoadSettings(state.path(kSettingsFileName), state.settings)) {
            ui.message(QString::fromLatin1(kSettingsErrorMessage));
            SetDefaultSettings(state.settings);
            // A settings file that cannot be written (a full disk) is told,
            // and the start-up goes on: stopping here would leave the word
            // lists unread, and a list window closed later would write its
            // empty list over the user's file.
            try {
                SaveSettings(state.settings, state.path(kSettingsFileName));
            } catch (const FileError& e) {
                if (hooks.showError)
                    hooks.showError(e.message());
            }
        }
        if (state.settings.AssociateFiles && hooks.registerFileAssociation)
            hooks.registerFileAssociation();
        if (!LoadLanguageList(state.programDirectory, state.languageList)) {
            state.languageList.Tag = QString::fromLatin1(kCorruptTag);
            ui.message(QString::fromLatin1(kLanguageListErrorMessage));
        }
        if (state.languageList.Tag == QLatin1String(kVersionTag)) {
            LoadActivePack(state, fallback);
            if (hooks.applyTexts)
                hooks.applyTexts();
        }
        ReadListsAtStartUp(editor);
        RefreshDictionaryStatus(state, editor.table);
        if (state.settings.AssociateFiles && hooks.registerFileAssociation)
            hooks.registerFileAssociation();
        if (hooks.startPhoneHandling)
            hooks.startPhoneHandling();
        result.completed = true;
    } catch (const VexlonError& e) {
        if (hooks.showError)
            hooks.showError(e.message());
    }
    return result;
}

QString commandLinePath(const QStringList& arguments)
{
    return arguments.join(QLatin1Char(' '));
}

} // namespace vexlon
