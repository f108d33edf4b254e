// Capacity accounting, the dictionary status line, renumbering and the
// column sorts of the dictionary table.
#pragma once

#include "core/base/ProgramState.h"
#include "core/dictionary/DictionaryTable.h"

#include <cstdint>

namespace vexlon {

// The bytes of the users dictionary the table leaves free (negative when the
// words do not fit): the size minus the 19 bytes of header and trailer minus
// every word's record.
int32_t FreeBytes(const ProgramState& state, const DictionaryTable& table);

// The text and colour of the dictionary status line.
struct DictionaryStatusLine {
    QString text;
    bool fits = false; // green when true, red otherwise
};
DictionaryStatusLine dictionaryStatusLine(const ProgramState& state, const DictionaryTable& table);

// Redraws the status line through the dialog interface; true when at least
// one byte is free.
bool RefreshDictionaryStatus(const ProgramState& state, const DictionaryTable& table);

// Writes each row's 1-based position into the Number column of rows
// from..to (clamped to the table); marks the table modified.
void RenumberRows(const ProgramState& state, DictionaryTable& table, int from, int to);

// The language ID text of a row as a number; throws ConvertError when the
// text is not hexadecimal.
int32_t rowLanguageId(const DictRow& row);

// -1, 0 or 1 on the Number column read as the decimal number it holds, or
// the language ID column read as hexadecimal, compared as unsigned 32-bit
// values; throw ConvertError.
int CompareByNumber(const DictRow& a, const DictRow& b);
int CompareByLanguageID(const DictRow& a, const DictRow& b);

// Orders the rows ascending by the clicked column: the word in the locale's
// word order, Number and language ID (and the Language column) numerically.
// The Status column leaves the order alone. A text that is not a number
// throws ConvertError before any row moves. Descending reverses each order;
// equal keys keep their order either way.
void SortByColumn(DictionaryTable& table, int column, bool descending = false);

// Orders the rows by their Number, as both saving commands do.
void SortByNumber(DictionaryTable& table);

} // namespace vexlon
