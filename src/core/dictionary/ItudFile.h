// The iTUD dictionary file: the phone's users dictionary "/a/iTAP_User_Dictionary",
// stored on disk as ".iud". Fixed size, big-endian, a 16-byte header, word
// records back to back, zero fill and a 3-byte trailer carried from the last
// file read to every file written through "phConfig.cfg".
#pragma once

#include "core/base/ProgramState.h"
#include "core/dictionary/DictionaryTable.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace vexlon {

inline const char* const kTrailerFile = "phConfig.cfg";
inline const char* const kBackupFile = "TempFile/iTUD_backup.iud";
inline constexpr int kMaxWordLength = 249;

class ProgressScope;

// The rows of a dictionary file's bytes, in record order, numbered by record.
// Reading stops at the end of the bytes: a count larger than the records
// present or a length byte past the end gives the rows read so far; a zero
// length byte ends the records.
QVector<DictRow> ParseDictionary(const QByteArray& bytes, const ProgramState& state, ProgressScope* progress = nullptr);

// The last three bytes of a dictionary file (zero-padded in front when the
// file is shorter).
QByteArray DictionaryTrailer(const QByteArray& bytes);

// A dictionary file of exactly Settings.UsersDictionarySize bytes from the
// rows in their order. Throws VexlonError, writing nothing, when a word is
// longer than 249 characters, the words do not fit, or the size cannot hold a
// dictionary; ConvertError for a language ID that is not hexadecimal.
QByteArray BuildDictionary(const QVector<DictRow>& rows, const ProgramState& state, const QByteArray& trailer,
                           ProgressScope* progress = nullptr);

// Fills the table from the file. False when the user declined a file of the
// wrong size (the table is unchanged). Throws FileError when the file cannot
// be read or is larger than a dictionary file may be (the table is
// unchanged), or "phConfig.cfg" cannot be written (the rows read stay; the
// old trailer file stays whole). A backup copy that cannot be written is
// told in a message and the reading goes on. A file shorter than the three
// trailer bytes leaves "phConfig.cfg" as it was.
bool ReadDictionaryFile(const ProgramState& state, DictionaryTable& table, const QString& path);

// Writes all rows in their order to path, replacing it only when the whole
// file was written. Throws FileError when "phConfig.cfg" is missing (before
// the target is touched) or the target cannot be written.
void WriteDictionaryFile(const ProgramState& state, const DictionaryTable& table, const QString& path);

} // namespace vexlon
