// The settings file "Vexlon.ini": a positional, line-oriented file whose
// bracketed lines are labels for a human reader.
#pragma once

#include "core/base/VexlonTypes.h"

#include <QString>

namespace vexlon {

inline const char* const kSettingsFileName = "Vexlon.ini";

// The values the settings dialog lets the user choose for the users
// dictionary size and the shortest word kept.
inline constexpr int32_t kMinUsersDictionarySize = 27;
inline constexpr int32_t kMaxUsersDictionarySize = 65535;
inline constexpr int32_t kMinMinWordLength = 2;
// How many dictionaries a phone's backup ring may keep.
inline constexpr int32_t kMinPhoneBackupCount = 1;
inline constexpr int32_t kMaxPhoneBackupCount = 1000;

void SetDefaultSettings(TSettings& settings);

// Reads the file into settings; false (settings unchanged) when the file is
// missing, its first or third line is wrong, it holds fewer than 17 value
// lines, or a value line is empty or not a number where a number belongs.
// A number outside its field's range gives that field its default, and the
// file is read: UsersDictionaryModified, iTAPModification and StatisticType
// 0..1, UsersDictionarySize 27..65535, Language not negative,
// LanguageCleanIndex 0..255, MinWordLength 2..255. The eighteenth value,
// PhoneBackupCount 1..1000, may be missing (files of earlier versions); then,
// or out of range, it takes its default.
bool LoadSettings(const QString& path, TSettings& settings);

// The 39 lines of the settings file.
QByteArray SettingsFileContent(const TSettings& settings);

// Writes the file (replacing it only when the whole write succeeded); true
// when done. Throws FileError when it cannot be written.
bool SaveSettings(const TSettings& settings, const QString& path);

} // namespace vexlon
