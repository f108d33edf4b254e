// Merge: the words of other sources (dictionary files, CSV and text files,
// word lists, Gboard's dictionary export) joined into the open dictionary
// after a preview of what becomes of each word, and the export of the
// dictionary for today's keyboards.
#pragma once

#include "core/app/Editor.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>
#include <cstdint>
#include <functional>
#include <optional>

namespace vexlon {

enum class SourceKind { Dictionary, Csv, Text, WordList, Gboard };

// The kind of a source by its name and bytes: ".iud" a dictionary file,
// ".csv" a CSV file, a zip or a text starting with the Gboard header a
// Gboard export; any other text is a word list when no line holds two
// words, else a text file.
SourceKind guessSourceKind(const QString& path, const QByteArray& bytes);
// "dictionary", "csv", "text", "words", "gboard".
QString sourceKindName(SourceKind kind);
std::optional<SourceKind> sourceKindFromName(const QString& name);

// What becomes of an incoming word, in the order the checks are made.
enum class Fate {
    LacksLetters,  // a character the phone cannot store in its language
    Present,       // the dictionary (or an earlier incoming word) holds it
    BlackListed,   // the black list holds it
    TooShort,      // shorter than Settings.MinWordLength
    CaseOnly,      // the dictionary holds it in the same language in other case
    OtherLanguage, // the dictionary holds it in another language only
    New,
    DoesNotFit,    // left out so that the dictionary fits the phone
};
// "new", "already present", "differs only in case", ... as the preview and
// the report show them.
QString fateText(Fate fate);

// One row of the preview.
struct MergeItem {
    // The row the word becomes (number, language and status filled in); for
    // an existing row, the row as the dictionary holds it.
    DictRow row;
    // The file name of the source, empty for a row of the open dictionary.
    QString source;
    // The line (CSV and text sources) or record of the source, 1-based; 0
    // when there is none.
    int line = 0;
    Fate fate = Fate::New;
    // The fate the checks gave, kept while the fit proposal shows DoesNotFit.
    Fate assessed = Fate::New;
    // More about the fate: the word present, the other language, the letter.
    QString note;
    // An incoming word: it is added. A row of the open dictionary: it stays.
    bool checked = false;
    // False when the word can never be added (already present, a letter the
    // phone cannot store, shorter than two characters, too long).
    bool checkable = true;
    // The row of the open dictionary the item stands for, -1 for an
    // incoming word.
    int tableRow = -1;

    bool isExisting() const { return tableRow >= 0; }
    bool operator==(const MergeItem&) const = default;
};

// A line of a source that gave no word.
struct MergeSkip {
    QString source;
    int line = 0;
    QString text;
    QString reason;
};

struct MergePlan {
    // The incoming words in source order; after them, the rows of the open
    // dictionary that the fit proposal leaves out.
    QVector<MergeItem> items;
    QVector<MergeSkip> skipped;
    QStringList sources;
};

// Reads one source into the plan, one item a word. Words without a language
// (text files, word lists, Gboard words with no or an unknown locale) get
// language when given, else the language the user chooses, asked once per
// source and unknown locale. A dictionary file of any size gives its words,
// and reading it changes no file of the program. False, with the plan as it
// was, when the user chose no language. Throws the readers' errors, naming
// the file, with the plan as it was.
bool ReadMergeSource(Editor& editor, const QString& path, SourceKind kind, MergePlan& plan,
                     std::optional<uint8_t> language = std::nullopt);

// Gives every incoming word its fate and whether it is checked: new words
// and words of another language are, the others are not; existing rows are
// dropped from the plan.
void AssessMerge(const Editor& editor, MergePlan& plan);

// The capacity of the users dictionary before and after the merge, as the
// status line and the usage gauge count it.
struct MergeCapacity {
    int32_t size = 0;
    int32_t freeBefore = 0;
    int32_t freeAfter = 0;
    int wordsBefore = 0;
    int wordsAfter = 0;
    int added = 0;
    int removed = 0;
    // The words fit when at least one byte is free, as saving requires.
    bool fitsBefore() const { return freeBefore > 0; }
    bool fitsAfter() const { return freeAfter > 0; }
};
MergeCapacity mergeCapacity(const Editor& editor, const MergePlan& plan);

// When the merged dictionary does not fit, proposes words to leave out
// until it does: the words the statistic list rates lowest first (a word it
// lacks rates 0); of one rating the incoming words before the dictionary's
// own, then the longest, then the later; never a white-listed or locked
// row. Incoming words left out are unchecked; rows of the open
// dictionary left out are added to the plan unchecked. Both show
// DoesNotFit. A proposal made before is taken back first. Returns whether
// the dictionary then fits.
bool ProposeFit(const Editor& editor, MergePlan& plan);

// Adds the checked incoming words after the rows of the dictionary,
// numbered after its highest Number, and removes the rows of the dictionary
// left unchecked; the other rows keep their numbers. One undoable step,
// "Merge". Returns what changed.
struct MergeResult {
    int added = 0;
    int removed = 0;
};
MergeResult ApplyMerge(Editor& editor, const MergePlan& plan);

// The line-by-line report as a UTF-8 CSV file: every item and every skipped
// line with its source, line, word, language, fate and result.
QByteArray BuildMergeReport(const ProgramState& state, const MergePlan& plan);

// The Merge command of the editor: reads the sources (a source that fails
// is told to the user and the command ends with nothing changed), assesses
// them, proposes a fit when the merge would not fit, and lets preview show
// the plan (it may change the checks; false calls the merge off). Applies
// the plan when preview accepted it. False when nothing was merged.
bool MergeCommand(Editor& editor, const QStringList& paths, const std::function<bool(MergePlan&)>& preview);

// The export formats for today's keyboards.
enum class ExportFormat { GboardZip, GboardText, WordList };
// The bytes of the export of every row of the table, in table order; each
// Gboard word carries the locale of its language. Throws VexlonError
// naming a word the format cannot carry.
QByteArray ExportDictionary(const ProgramState& state, const DictionaryTable& table, ExportFormat format);
// The export written to path, replacing the file only when it was written
// whole; throws VexlonError or FileError.
void ExportDictionaryFile(const ProgramState& state, const DictionaryTable& table, ExportFormat format,
                          const QString& path);

// The save dialog's filter for Export and its entries in order.
inline const char* const kExportFilterText =
    "Gboard dictionary (*.zip);;Gboard dictionary text (*.txt);;Word list, UTF-8 (*.txt)";
// The open dialog's filter for Merge.
inline const char* const kMergeFilterText =
    "All sources (*.iud *.csv *.txt *.zip);;Users Dictionary Files (*.iud);;MS Excel CSV Files (*.csv);;"
    "Text Files and word lists (*.txt);;Gboard dictionary (*.zip);;All Files (*)";

} // namespace vexlon
