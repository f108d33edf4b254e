// The list files "Lists/WhiteList.csv", "Lists/BlackList.csv" and
// "Lists/Statistic.csv": four header lines and one "word;number;ID;name"
// line per entry, with CR LF line ends. A file is read as UTF-8 when it
// starts with the UTF-8 byte-order mark or is valid UTF-8, and as
// Windows-1251 otherwise; it is written in Windows-1251 unless a word needs
// UTF-8. Also the membership test every list command uses.
#pragma once

#include "core/base/ProgramState.h"
#include "core/base/VexlonTypes.h"
#include "core/dictionary/WordIndex.h"

#include <QByteArray>
#include <QString>

namespace vexlon {

enum class ListKind { White, Black, Statistic };

inline const char* const kWhiteListFile = "Lists/WhiteList.csv";
inline const char* const kBlackListFile = "Lists/BlackList.csv";
inline const char* const kStatisticFile = "Lists/Statistic.csv";
inline const char* const kListFileFirstLine = "Vexlon list file";

// The most entries a list file may hold; a file with more lines is refused
// before any entry is made.
inline constexpr qsizetype kMaxListEntries = 2000000;

const char* listFileName(ListKind kind);
// The start-up message shown when the list file cannot be read.
QString listReadErrorText(ListKind kind);

// Reads a list file's bytes into list. False (list unchanged) when the first
// line is not "Vexlon list file" or line 4 holds no ";". Throws RangeError for
// a negative count (list unchanged) and ConvertError for a count, number or
// language field that is not a number, including the lines missing when the
// file ends before its count; the list then holds the entries read before
// the failing line. The language names come from the structure. Errors
// name the file (name) and the line. VexlonError, list unchanged, for a file
// of more than kMaxListEntries entry lines.
bool ParseListFile(const QByteArray& bytes, TLST& list, const TiTAPStructure& structure,
                   const QString& name = QStringLiteral("list"));
bool ParseListFile(const QByteArray& bytes, TSTATLST& list, const TiTAPStructure& structure,
                   const QString& name = QStringLiteral("list"));

// The same from a file; false when no file exists at path. Throws FileError
// when it exists but cannot be read.
bool ReadListFile(const QString& path, TLST& list, const TiTAPStructure& structure);
bool ReadListFile(const QString& path, TSTATLST& list, const TiTAPStructure& structure);

// Whether a word can be stored in a list file and read back the same: the
// format has no escaping, so a ";" or a line break cannot be stored.
bool listCanStore(const QString& word);

// The file's bytes, line 3 stamped with stamp.
QByteArray ListFileContent(const TLST& list, const QByteArray& stamp);
QByteArray ListFileContent(const TSTATLST& list, const QByteArray& stamp);

// Writes the file, replacing it only when the whole file was written. Throws
// FileError when it cannot be written (a missing "Lists" folder) and
// VexlonError, writing nothing, when a word cannot be stored.
void WriteListFile(const TLST& list, const QString& path);
void WriteListFile(const TSTATLST& list, const QString& path);

// True when some entry has exactly this word (character for character) and language ID.
bool IsInList(const TLST& list, const QString& word, uint8_t languageId);
bool IsInList(const TSTATLST& list, const QString& word, uint8_t languageId);

// Reads one of the program's three lists from the program directory. On
// false the list is emptied (its start-up message is for the caller to
// show); conversion and range errors propagate.
bool ReadProgramList(ProgramState& state, ListKind kind);
// Writes one of the three lists to its file in the program directory.
void WriteProgramList(const ProgramState& state, ListKind kind);

// The message shown once by a command that had to leave out words holding
// ";": how many, and the first of them.
QString unstorableWordsText(int count, const QString& first);

// Appends a white or black list entry for a row's word, number text
// (converted as a decimal number; ConvertError otherwise), language ID and
// language title, keeping Count and the index of first entries in step.
void AppendListEntry(TLST& list, FirstEntryIndex& index, const QString& word, const QByteArray& number,
                     uint8_t languageId, const QByteArray& title);

} // namespace vexlon
