// Qt's own texts (the standard buttons of message boxes, the file and input
// dialogs) in the language of the active UI language pack, from the
// translations that Qt installs beside itself.
#pragma once

#include "core/base/VexlonTypes.h"

#include <QLocale>

namespace vexlon::gui {

// The language of pack number index of the list: found from the pack's file
// name ("Russian.lng") or from its shown name ("Русский"). English when the
// list was not read, the index is out of range or the language is unknown.
QLocale packLocale(const TiTAPLanguages& list, int index);

// Installs Qt's translation for the locale's language in place of the one
// installed before; English (no translation) when Qt has none for it.
// Returns the language whose translation is now in use.
QLocale::Language useQtTranslation(const QLocale& locale);

} // namespace vexlon::gui
