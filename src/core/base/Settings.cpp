#include "core/base/Settings.h"

#include "core/base/Convert.h"
#include "core/base/Errors.h"
#include "core/base/TextFile.h"

#include <QFileInfo>
#include <limits>
#include <optional>

namespace vexlon {

namespace {

constexpr int kValueLines = 17;

} // namespace

void SetDefaultSettings(TSettings& settings)
{
    settings = TSettings {};
    settings.VersionTag = kVersionTag;
}

bool LoadSettings(const QString& path, TSettings& settings)
{
    if (!QFileInfo(path).isFile())
        return false;
    QByteArray bytes;
    try {
        bytes = readWholeFile(path);
    } catch (const VexlonError&) {
        return false;
    }
    const QByteArrayList lines = splitLines(bytes);
    if (lines.size() < 3 || lines.at(0) != "Vexlon Settings File" || lines.at(2) != kVersionTag)
        return false;

    QByteArrayList values;
    for (qsizetype i = 3; i < lines.size(); ++i) {
        const QByteArray& line = lines.at(i);
        if (line.startsWith("//") || line.startsWith('['))
            continue;
        values.append(line);
    }
    if (values.size() < kValueLines)
        return false;
    for (int i = 0; i < kValueLines; ++i) {
        // The writer never leaves a value line empty; an empty one means the
        // file was damaged by hand.
        if (values.at(i).isEmpty())
            return false;
    }

    TSettings read = settings;
    read.VersionTag = lines.at(2);
    bool ok = true;
    auto number = [&](int index) -> int32_t {
        const std::optional<int32_t> v = tryStrToInt(values.at(index));
        if (!v) {
            ok = false;
            return 0;
        }
        return *v;
    };
    read.BackupCopy = StrToBool(values.at(0));
    read.ReloadPhone = StrToBool(values.at(1));
    read.StatisticOn = StrToBool(values.at(2));
    read.WhiteListOn = StrToBool(values.at(3));
    // A number outside the range its field can mean is refused: that field
    // takes its default and the rest of the file is read as usual.
    const TSettings defaults;
    auto ranged = [&](int index, int32_t low, int32_t high, int32_t fallback) -> int32_t {
        const int32_t v = number(index);
        return v >= low && v <= high ? v : fallback;
    };
    read.UsersDictionaryModified = ranged(4, 0, 1, defaults.UsersDictionaryModified);
    read.UsersDictionarySize
        = ranged(5, kMinUsersDictionarySize, kMaxUsersDictionarySize, defaults.UsersDictionarySize);
    read.Language = ranged(6, 0, std::numeric_limits<int32_t>::max(), defaults.Language);
    read.iTAPModification = ranged(7, 0, 1, defaults.iTAPModification);
    read.StatisticType = ranged(8, 0, 1, defaults.StatisticType);
    read.AssociateFiles = StrToBool(values.at(9));
    read.SymbolicClean = StrToBool(values.at(10));
    read.NumericClean = StrToBool(values.at(11));
    read.IntelectClean = StrToBool(values.at(12));
    read.BlackListClean = StrToBool(values.at(13));
    read.LanguageClean = StrToBool(values.at(14));
    read.LanguageCleanIndex = static_cast<uint8_t>(ranged(15, 0, 0xFF, defaults.LanguageCleanIndex));
    read.MinWordLength = static_cast<uint8_t>(ranged(16, kMinMinWordLength, 0xFF, defaults.MinWordLength));
    // Files written before the phone backups had no eighteenth value.
    read.PhoneBackupCount = defaults.PhoneBackupCount;
    if (values.size() > kValueLines) {
        const std::optional<int32_t> v = tryStrToInt(values.at(kValueLines));
        if (v && *v >= kMinPhoneBackupCount && *v <= kMaxPhoneBackupCount)
            read.PhoneBackupCount = *v;
    }
    if (!ok)
        return false;
    settings = read;
    return true;
}

QByteArray SettingsFileContent(const TSettings& s)
{
    auto num = [](int32_t v) { return QByteArray::number(v); };
    const QByteArrayList lines {
        "Vexlon Settings File",
        "// this is not editable file. Editing of this file may be cause of errors.",
        kVersionTag,
        "[MAIN SETTINGS]",
        "[BACKUP COPY]",
        BoolToStr(s.BackupCopy),
        "[RELOAD PHONE]",
        BoolToStr(s.ReloadPhone),
        "[STATISTIC ON]",
        BoolToStr(s.StatisticOn),
        "[WHITE LIST ON]",
        BoolToStr(s.WhiteListOn),
        "[USERS DICTIONARY]",
        num(s.UsersDictionaryModified),
        num(s.UsersDictionarySize),
        "[LANGUAGE]",
        num(s.Language),
        "[iTAP MODIFICATION]",
        num(s.iTAPModification),
        "[STATISTIC TYPE]",
        num(s.StatisticType),
        "[ASSOCIATE FILES]",
        BoolToStr(s.AssociateFiles),
        "[CLEAN SETTINGS]",
        "[SYMBOLIC CLEAN]",
        BoolToStr(s.SymbolicClean),
        "[NUMERIC CLEAN]",
        BoolToStr(s.NumericClean),
        "[INTELECT CLEAN]",
        BoolToStr(s.IntelectClean),
        "[BLACKLIST CLEAN]",
        BoolToStr(s.BlackListClean),
        "[LANGUAGE CLEAN]",
        BoolToStr(s.LanguageClean),
        num(s.LanguageCleanIndex),
        "[LANGUAGE COUNT CLEAN]",
        num(s.MinWordLength),
        "[PHONE BACKUPS]",
        num(s.PhoneBackupCount),
    };
    return joinCrLf(lines);
}

bool SaveSettings(const TSettings& settings, const QString& path)
{
    writeFileSafely(path, SettingsFileContent(settings));
    return true;
}

} // namespace vexlon
