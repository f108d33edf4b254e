// Cleaning of the dictionary table: the six rules of a cleaning run, the
// Cleaning menu's commands, and the two passes that close every cleaning run
// and follow every load. Protected rows ("White List", "Locked") are never
// changed by the rules and never removed.
#pragma once

#include "core/base/ProgramState.h"
#include "core/dictionary/DictionaryTable.h"

#include <QByteArray>
#include <cstdint>
#include <optional>

namespace vexlon {

// Which rules a cleaning run applies, in this order to every unprotected row.
struct CleanRules {
    bool symbols = false;
    bool numbers = false;
    bool language = false;
    bool intelect = false;
    bool blackList = false;
    bool byLength = false;
};

// Keeps the digits, every letter (every letter of Windows-1251 among them:
// Latin, Cyrillic, and the Ukrainian, Belarusian, Serbian and Macedonian
// letters) and every kept code, whose meaning the program does not know;
// drops everything else.
QString StripSymbols(const QString& word);
// Removes the digits "0" to "9".
QString StripDigits(const QString& word);

// One cleaning run over the whole table, then RemoveShortWords(2) and
// RemoveDuplicates; the table counts as modified afterwards. The Language
// rule removes the language of entry Settings.LanguageCleanIndex of the
// language structure; it is skipped when the index lies outside it. A
// language ID that is not hexadecimal stops the run with ConvertError (the
// rows already cleaned stay cleaned).
void CleanDictionary(const ProgramState& state, DictionaryTable& table, const CleanRules& rules);

// The items of the Cleaning menu.
enum class CleaningItem { Symbols, Numbers, Language, ByLength, Intelect, BlackList, All };

// What the menu item runs: its own rule, or for All each rule whose switch
// is on in the settings and By length always.
CleanRules rulesForItem(const TSettings& settings, CleaningItem item);

// The menu command: the Language item first asks for the language (nothing
// is cleaned when the user cancels) and cleans with it while keeping
// Settings.LanguageCleanIndex as it was; then the status line is refreshed.
// Returns false when the language chooser was cancelled.
bool RunCleaningCommand(ProgramState& state, DictionaryTable& table, CleaningItem item);

// Removes every unprotected row whose word has fewer than minimum characters.
void RemoveShortWords(const ProgramState& state, DictionaryTable& table, uint8_t minimum);

// The language part of a row's identity: a language ID text that reads as
// hexadecimal stands for the low byte of its value, which is what a
// dictionary record keeps ("1", "01", "0001" and "101" are one language);
// any other text stands only for itself. Followed by a word it keys the
// (word, language) pair without ambiguity.
QString languageKey(const QByteArray& languageIdText);

// The lower case RemoveDuplicates gives a word (cp1251::toLower, the
// characters of Windows-1251 through a table made once from it); nothing when
// lower-casing that lower case again would change it, where words of one
// lower case need not meet only each other.
std::optional<QString> stableLowerCase(const QString& word);

// Lower-cases every word and removes repeated rows (same word, same language
// as languageKey tells it). Each row in turn is lower-cased and then looks for its first
// equal among the rows after it and, wrapping around, the rows before it:
// an unprotected equal is removed (and the row looks again while the removed
// one lay below it); a protected equal ends the row's turn. Of a group of
// equal rows every protected row stays, and when the group has none, exactly
// one row stays.
void RemoveDuplicates(const ProgramState& state, DictionaryTable& table);

} // namespace vexlon
