// Find (F7) in the dictionary table and in the word lists: the rows whose
// word begins with the text typed.
#pragma once

#include "core/dictionary/DictionaryTable.h"

#include <QByteArray>
#include <QVector>

namespace vexlon {

// The indexes of the words that begin with text (case-sensitive, byte for
// byte), in order; none for an empty text.
QVector<int> rowsStartingWith(const QVector<QByteArray>& words, const QByteArray& text);

// Selects exactly the table rows whose word begins with text and returns
// them; an empty text finds nothing and leaves the selection as it was.
QVector<int> FindInTable(DictionaryTable& table, const QByteArray& text);

} // namespace vexlon
