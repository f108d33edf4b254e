// vexlon-mkdata: builds the data files installed beside the program from the
// readable UTF-8 sources of the data folder. Every generator checks its
// source and refuses it with a SourceError naming the file and line, so a
// broken source never reaches the build tree.
#pragma once

#include "core/base/Errors.h"
#include "core/base/VexlonTypes.h"
#include "core/dictionary/DictionaryTable.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QString>
#include <QVector>
#include <cstdint>

namespace vexlon::mkdata {

class SourceError : public VexlonError {
public:
    using VexlonError::VexlonError;
    // "<source>:<line>: <message>"; line 0 leaves the line out.
    SourceError(const QString& source, int line, const QString& message);
};

// ---- Source text -----------------------------------------------------------

// The lines of a UTF-8 source: a leading byte order mark is dropped, one CR
// before each LF is dropped, a last line without LF is still a line. Invalid
// UTF-8 is refused.
QStringList sourceLines(const QByteArray& utf8, const QString& source);
QStringList readSourceLines(const QString& path);

// The lines in the program's code page, each followed by CR LF. A character
// the code page lacks is refused with its line.
QByteArray toAnsiCrLf(const QStringList& lines, const QString& source);

// Writes a file, creating its folder first. Throws FileError.
void writeOutput(const QString& path, const QByteArray& bytes);

// ---- Language structure ----------------------------------------------------

inline constexpr int kMaxLanguageName = 13;

struct CharEntry {
    uint8_t code = 0;
    char16_t unit = 0;
};

struct LanguageDef {
    uint8_t id = 0;
    QString name;
    QVector<CharEntry> chars;
};

// The language table source:
//   # comment
//   language <id> <name>
//   <first code> <characters>
// An id or code is decimal or "0x" hexadecimal. Each character line gives
// its characters (blanks between them are ignored) the codes first code,
// first code + 1, and so on.
QVector<LanguageDef> parseLanguageSource(const QStringList& lines, const QString& source);

// The bytes of the language structure file.
QByteArray buildLangStructure(const QVector<LanguageDef>& languages);

// The readable tag at the start of the file (16 bytes, zero-padded).
inline const char* const kLangStructureTag = "Vexlon languages";

// ---- UI language list and packs --------------------------------------------

struct PackCounts {
    int ui = 0;
    int messages = 0;
    int stat = 0;
};
inline constexpr PackCounts kMinimumPack {100, 31, 17};

// Checks a pack's lines (already in the code page) by the rules the program
// reads it with, and that it is complete: at least the minimum entries per
// section, no empty entry, nothing but comments after the last section.
PackCounts checkLanguagePack(const QByteArrayList& lines, const QString& source);

// Checks a language list's lines; returns the pack file names it names.
QStringList checkLanguageList(const QByteArrayList& lines, const QString& source);

// Reads "Languages.ini" and every pack it names from sourceDir, checks them
// and writes them in the code page into outputDir. Returns the files written.
QStringList buildLanguagePacks(const QString& sourceDir, const QString& outputDir);

// ---- Word lists and trailer ------------------------------------------------

enum class ListKind { WhiteOrBlack, Statistic };

// An empty list file: its four header lines, stamped with the given
// "<date> at <time>".
QByteArray emptyListFile(ListKind kind, const QString& stamp);

// Writes "WhiteList.csv", "BlackList.csv" and "Statistic.csv" into outputDir.
void writeEmptyLists(const QString& outputDir);

// The content of "phConfig.cfg" before any dictionary has been read.
QByteArray initialTrailer();

// ---- Sample dictionary -----------------------------------------------------

struct SampleWord {
    QString word;
    QString language; // a language name of the structure
    int line = 0;
};

// One "<word> <language name>" per line; "#" starts a comment line.
QVector<SampleWord> parseSampleSource(const QStringList& lines, const QString& source);

// The dictionary table rows of the words, in order: each word must be at
// least two characters long, made only of letters of its language's table,
// held by the code page, and not repeat another word of its language (case
// ignored).
QVector<DictRow> sampleRows(const QVector<SampleWord>& words, const TiTAPStructure& structure, const QString& source);

// The dictionary file of the rows with the default settings.
QByteArray buildSampleDictionary(const QVector<DictRow>& rows, const TiTAPStructure& structure,
                                 const QByteArray& trailer);

} // namespace vexlon::mkdata
