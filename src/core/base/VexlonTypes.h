// The plain records shared by the whole program: settings, the language
// structure, the UI language list and the three word lists.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>
#include <cstdint>

namespace vexlon {

inline const char* const kVersionTag = "VEXLON2011TST";

struct TSettings {
    QByteArray VersionTag = kVersionTag;
    bool BackupCopy = true;
    bool ReloadPhone = true;
    bool StatisticOn = true;
    bool WhiteListOn = false;
    int32_t UsersDictionaryModified = 0;
    int32_t UsersDictionarySize = 5100;
    int32_t Language = 0;
    int32_t iTAPModification = 0;
    bool SymbolicClean = true;
    bool NumericClean = true;
    bool IntelectClean = true;
    bool BlackListClean = false;
    bool LanguageClean = false;
    uint8_t LanguageCleanIndex = 0;
    uint8_t MinWordLength = 2;
    int32_t StatisticType = 0;
    bool AssociateFiles = false;
    // How many dictionaries each phone's backup ring keeps.
    int32_t PhoneBackupCount = 10;

    bool operator==(const TSettings&) const = default;
};

// One language of the phone: its id, display name and character table.
struct TLanguages {
    uint16_t Offset = 0;
    uint8_t ID = 0;
    QByteArray Name;          // at most 13 bytes, ANSI code page
    uint8_t CharCount = 0;
    QVector<uint8_t> Codes;   // phone codes, file order
    QVector<uint16_t> Chars;  // UTF-16 code unit of each code
};

struct TiTAPStructure {
    uint16_t Version = 0;
    uint16_t HeaderWord2 = 0;
    uint8_t Count = 0;
    QVector<TLanguages> Languages;
};

struct TiTAPLanguagesItem {
    QString Name;
    QString FileName;
};

struct TiTAPLanguages {
    QString Tag;
    int Count = 0;
    QVector<TiTAPLanguagesItem> Items;
};

// White and black list entry.
struct TLST_ITEM {
    QString Word;
    int32_t Number = 0;
    uint8_t LanguageID = 0;
    QByteArray LanguageTitle;
    bool operator==(const TLST_ITEM&) const = default;
};

struct TLST {
    int Count = 0;
    QVector<TLST_ITEM> Items;
    bool operator==(const TLST&) const = default;
};

// Statistic list entry.
struct TSTATLST_ITEM {
    QString Word;
    int32_t Rating = 0;
    uint8_t LanguageID = 0;
    QByteArray LanguageTitle;
    bool operator==(const TSTATLST_ITEM&) const = default;
};

struct TSTATLST {
    int Count = 0;
    QVector<TSTATLST_ITEM> Items;
    bool operator==(const TSTATLST&) const = default;
};

} // namespace vexlon
