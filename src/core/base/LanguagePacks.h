// The UI language list "Languages/Languages.ini" and the pack files it names.
#pragma once

#include "core/base/UiTexts.h"
#include "core/base/VexlonTypes.h"

#include <QString>

namespace vexlon {

inline const char* const kLanguageListFile = "/Languages/Languages.ini";
inline const char* const kCorruptTag = "CORRUPT";

// Reads the language list of the program directory; false when it is missing,
// its first or third line is wrong, its count is not a number, it ends
// before its last pack, or it names a pack file outside the Languages folder
// ("../x", "a/b"). The list is changed only on success.
bool LoadLanguageList(const QString& programDirectory, TiTAPLanguages& list);

// Loads pack number index into the three tables. Does nothing when the list
// was not read, the index is out of range or the pack file is missing. A pack
// whose counts are not numbers or which ends before its counts are reached is
// refused whole: the tables keep what they held. Returns true when the pack
// was read.
bool LoadLanguagePack(const TiTAPLanguages& list, int index, UiTexts& texts);

} // namespace vexlon
