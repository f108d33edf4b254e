// Find (F7) in the dictionary table and in the word lists: the rows whose
// word begins with the text typed.
#pragma once

#include "core/dictionary/DictionaryTable.h"

#include <QString>
#include <QVector>

namespace vexlon {

// The indexes of the words that begin with text (case-sensitive, character
// for character), in order; none for an empty text.
QVector<int> rowsStartingWith(const QVector<QString>& words, const QString& text);

// Selects exactly the table rows whose word begins with text and returns
// them; an empty text finds nothing and leaves the selection as it was.
QVector<int> FindInTable(DictionaryTable& table, const QString& text);

} // namespace vexlon
