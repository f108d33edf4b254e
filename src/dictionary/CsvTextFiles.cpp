#include "dictionary/CsvTextFiles.h"

#include "app/base/Ansi.h"
#include "app/base/Convert.h"
#include "app/base/Errors.h"
#include "app/base/TextFile.h"
#include "dictionary/LangStructure.h"

#include <QFileInfo>

namespace vexlon {

namespace {

// The text after the last ";" of a line, or the whole line.
QByteArray afterLastSemicolon(const QByteArray& line)
{
    const qsizetype at = line.lastIndexOf(';');
    return at < 0 ? line : line.mid(at + 1);
}

// Field index (0-based) of a line cut at every ";"; empty past the last.
QByteArray field(const QByteArray& line, int index)
{
    qsizetype start = 0;
    for (int i = 0; i < index; ++i) {
        const qsizetype at = line.indexOf(';', start);
        if (at < 0)
            return QByteArray();
        start = at + 1;
    }
    const qsizetype end = line.indexOf(';', start);
    return line.mid(start, end < 0 ? -1 : end - start);
}

} // namespace

bool ReadCsvFile(const ProgramState& state, DictionaryTable& table, const QString& path)
{
    if (!QFileInfo(path).isFile())
        return false;
    ProgressScope progress(state.ui(), state.texts.STAT(3));
    LineReader lines(splitLines(readWholeFile(path)));
    lines.next();
    lines.next();
    const int32_t count = strToInt(afterLastSemicolon(lines.next()));
    UpdateScope update(table);
    for (int32_t i = 0; i < count; ++i) {
        progress.show(i, count - 1);
        const QByteArray line = lines.next();
        DictRow row;
        row.word = field(line, 0);
        row.number = QByteArray::number(i);
        row.languageId = field(line, 1);
        row.language = LanguageName(state.langStructure, static_cast<uint8_t>(hexToInt(row.languageId) & 0xFF));
        row.status = status::CsvFile;
        table.append(row);
    }
    return true;
}

QByteArray BuildCsvFile(const QVector<DictRow>& rows, const QString& stamp, ProgressScope* progress)
{
    QByteArrayList lines;
    lines.reserve(rows.size() + 3);
    lines << "Vexlon CSV format users dictionary file";
    lines << QByteArray("Saved: ;") + ansi::fromUnicode(stamp);
    lines << QByteArray("Word Amount;") + QByteArray::number(rows.size());
    const int last = static_cast<int>(rows.size()) - 1;
    for (int i = 0; i < rows.size(); ++i) {
        if (progress)
            progress->show(i, last);
        const DictRow& row = rows[i];
        if (row.word.contains(';'))
            throw VexlonError(QStringLiteral("The word \"%1\" holds \";\", which a CSV file cannot store.").arg(ansi::toUnicode(row.word)));
        lines << row.word + ';' + row.languageId + ';' + row.language + ';';
    }
    return joinCrLf(lines);
}

void WriteCsvFile(const ProgramState& state, const DictionaryTable& table, const QString& path)
{
    ProgressScope progress(state.ui(), state.texts.STAT(4));
    writeFileSafely(path, BuildCsvFile(table.rows(), ansi::nowStamp(), &progress));
}

void ReadTextFile(const ProgramState& state, DictionaryTable& table, const QString& path)
{
    (void)state;
    if (!QFileInfo(path).isFile())
        return;
    const QByteArrayList lines = splitLines(readWholeFile(path));
    UpdateScope update(table);
    auto addWord = [&](const QByteArray& word, qsizetype endPosition) {
        DictRow row;
        row.word = word;
        row.number = QByteArray::number(endPosition);
        row.languageId = "FF";
        row.status = status::TextFile;
        table.append(row);
    };
    for (const QByteArray& line : lines) {
        QByteArray word;
        for (qsizetype i = 0; i < line.size(); ++i) {
            if (line[i] == ' ') {
                addWord(word, i + 1);
                word.clear();
            } else {
                word.append(line[i]);
            }
        }
        addWord(word, line.size() + 1);
    }
}

} // namespace vexlon
