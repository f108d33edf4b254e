// The statistic list: every word of every saved dictionary with a rating
// counting how often it was saved, and the filling of a dictionary from the
// best-rated words.
#pragma once

#include "core/base/ProgramState.h"
#include "core/dictionary/DictionaryTable.h"

#include <QByteArray>
#include <cstdint>

namespace vexlon {

// One more for a rating; a rating already at the top of the rating order
// (2147483647, or -1, which compares as 4294967295) stays there.
void CountRatingUp(int32_t& rating);

// Larger ratings first: 1 when b is greater, -1 when smaller, 0 when equal.
// A rating compares as the unsigned 32-bit value of its bits, so a negative
// one from a hand-edited file ranks above every positive one.
int CompareRatings(int32_t a, int32_t b);

// Counts the word up when the list holds the pair (the first such entry) and
// returns true; appends it with rating 1 and returns false otherwise.
bool AddToStatistic(ProgramState& state, const QString& word, uint8_t languageId);

// Counts every row of the table (protected rows too) into the statistic
// list. A word holding ";" is left out, and the user is told once, since the
// list file could not hold it. A language ID that is not hexadecimal stops
// the count with ConvertError (the rows before it are counted).
void UpdateStatistic(ProgramState& state, const DictionaryTable& table);

// CompareRatings of two rating texts, each read as a decimal number (a
// text that is not one throws ConvertError).
int CompareByRating(const QByteArray& ratingA, const QByteArray& ratingB);

// Orders the statistic list by descending rating, keeping the order of
// equal ratings.
void SortStatisticByRating(TSTATLST& list);

// The cost of a word in the users dictionary.
int statisticWordCost(const QString& word);

// Fills the table from the statistic list (expected in descending rating
// order) as Settings.StatisticType says: 0 makes a new dictionary of the
// white list and the best-rated words, 1 adds the best-rated words the table
// lacks; either way the rows that do not fit are then taken off the bottom.
// DictionaryModified is not changed and nothing is renumbered.
void FillDictionaryFromStatistic(const ProgramState& state, DictionaryTable& table);

} // namespace vexlon
