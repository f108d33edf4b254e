// The settings file, the language list and a language pack.
#include "FuzzSupport.h"

#include "core/base/LanguagePacks.h"
#include "core/base/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace vexlon;
    fuzz::Scratch& s = fuzz::scratch();
    TSettings settings;
    if (LoadSettings(s.put("Vexlon.ini", data, size), settings)) {
        // Whatever loads writes back to a file that loads to the same record.
        const QString again = s.state.programDirectory + QStringLiteral("again.ini");
        SaveSettings(settings, again);
        TSettings reread;
        if (!LoadSettings(again, reread) || !(reread == settings))
            __builtin_trap();
    }

    s.put("Languages/Languages.ini", data, size);
    TiTAPLanguages list;
    LoadLanguageList(s.state.programDirectory, list);

    // The same bytes as pack 0 of a good list.
    s.put("Languages/pack.lng", data, size);
    static const char listText[] = "Vexlon LANGUAGELIST FILE\r\nx\r\nVEXLON2011TST\r\n1\r\nPack\r\npack.lng\r\n";
    s.put("Languages/Languages.ini", reinterpret_cast<const uint8_t*>(listText), sizeof listText - 1);
    if (LoadLanguageList(s.state.programDirectory, list)) {
        UiTexts texts;
        LoadLanguagePack(list, 0, texts);
        (void)texts.MESSAGES(30);
    }
    return 0;
}
