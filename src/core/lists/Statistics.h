// The statistic list: every word of every saved dictionary with a rating
// counting how often it was saved, and the filling of a dictionary from the
// best-rated words.
#pragma once

#include "core/base/ProgramState.h"
#include "core/dictionary/DictionaryTable.h"

#include <QByteArray>
#include <cstdint>

namespace vexlon {

// Counts the word up when the list holds the pair (the first such entry) and
// returns true; appends it with rating 1 and returns false otherwise.
bool AddToStatistic(ProgramState& state, const QByteArray& word, uint8_t languageId);

// Counts every row of the table (protected rows too) into the statistic
// list. A word holding ";" is left out, and the user is told once, since the
// list file could not hold it. A language ID that is not hexadecimal stops
// the count with ConvertError (the rows before it are counted).
void UpdateStatistic(ProgramState& state, const DictionaryTable& table);

// Larger ratings first: 1 when b's rating is greater, -1 when smaller, 0
// when equal; the ratings are read as hexadecimal, as the table's number
// comparisons read them.
int CompareByRating(const QByteArray& ratingA, const QByteArray& ratingB);

// Orders the statistic list by descending rating, keeping the order of
// equal ratings.
void SortStatisticByRating(TSTATLST& list);

// The cost of a word in the users dictionary.
int statisticWordCost(const QByteArray& word);

// Fills the table from the statistic list (expected in descending rating
// order) as Settings.StatisticType says: 0 makes a new dictionary of the
// white list and the best-rated words, 1 adds the best-rated words the table
// lacks; either way the rows that do not fit are then taken off the bottom.
// DictionaryModified is not changed and nothing is renumbered.
void FillDictionaryFromStatistic(const ProgramState& state, DictionaryTable& table);

} // namespace vexlon
