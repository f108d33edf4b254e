// The dictionary as a semicolon-separated CSV file and words imported from a
// plain text file.
#pragma once

#include "core/base/ProgramState.h"
#include "core/base/TextFile.h"
#include "core/dictionary/DictionaryTable.h"

#include <QString>

namespace vexlon {

// The most rows a CSV or text file may give; a file that would give more is
// refused before its rows are made.
inline constexpr int32_t kMaxWordsInFile = 1000000;

// Both readers take a file as UTF-8 when it starts with the byte-order mark
// or is valid UTF-8, and as Windows-1251 otherwise.

// Appends one row per record line; false, silently, when no file exists.
// Throws ConvertError, naming the file and the line, when the count or a
// language ID is not a number (the rows before it stay); VexlonError when the
// file is larger than a dictionary file may be or says it holds more than
// kMaxWordsInFile rows (nothing is added).
bool ReadCsvFile(const ProgramState& state, DictionaryTable& table, const QString& path);

// The CSV file's bytes for the rows; a UTF-8 file starts with the byte-order
// mark. Throws VexlonError when a word holds ";", which the format cannot
// store, or a character the encoding lacks.
QByteArray BuildCsvFile(const QVector<DictRow>& rows, const QString& stamp, ProgressScope* progress = nullptr,
                        TextEncoding encoding = TextEncoding::Windows1251);

// Writes all rows in table order, replacing the file only when the whole
// file was written.
void WriteCsvFile(const ProgramState& state, const DictionaryTable& table, const QString& path,
                  TextEncoding encoding = TextEncoding::Windows1251);

// Appends one row per blank-separated word (empty words included); nothing
// when no file exists. Throws VexlonError, adding nothing, when the file
// would give more than kMaxWordsInFile rows.
void ReadTextFile(const ProgramState& state, DictionaryTable& table, const QString& path);

} // namespace vexlon
