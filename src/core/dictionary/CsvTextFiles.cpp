#include "core/dictionary/CsvTextFiles.h"

#include "core/base/CodePage1251.h"
#include "core/base/Convert.h"
#include "core/base/Errors.h"
#include "core/base/TextFile.h"
#include "core/dictionary/LangStructure.h"

#include <QFileInfo>

namespace vexlon {

namespace {

// The text after the last ";" of a line, or the whole line.
QByteArrayView afterLastSemicolon(QByteArrayView line)
{
    const qsizetype at = line.lastIndexOf(';');
    return at < 0 ? line : line.sliced(at + 1);
}

VexlonError tooManyWords(const QString& path)
{
    return VexlonError(QStringLiteral("The file \"%1\" holds more than %2 words, more than a dictionary table takes; it was not read.")
                           .arg(printable(path))
                           .arg(kMaxWordsInFile));
}

// Field index (0-based) of a line cut at every ";"; empty past the last.
QByteArray field(QByteArrayView line, int index)
{
    qsizetype start = 0;
    for (int i = 0; i < index; ++i) {
        const qsizetype at = line.indexOf(';', start);
        if (at < 0)
            return QByteArray();
        start = at + 1;
    }
    const qsizetype end = line.indexOf(';', start);
    return line.sliced(start, (end < 0 ? line.size() : end) - start).toByteArray();
}

} // namespace

bool ReadCsvFile(const ProgramState& state, DictionaryTable& table, const QString& path)
{
    if (!QFileInfo(path).isFile())
        return false;
    ProgressScope progress(state.ui(), state.texts.STAT(3));
    QByteArray bytes = readWholeFile(path, kMaxDictionaryFileBytes);
    const TextEncoding encoding = takeEncoding(bytes);
    LineReader lines(bytes);
    lines.next();
    lines.next();
    int32_t count = 0;
    try {
        count = strToInt(afterLastSemicolon(lines.next()));
    } catch (const ConvertError& e) {
        throw VexlonError::atLine(e, path, 3);
    }
    // A missing record line fails to convert, so the rows never outnumber
    // the lines that are there.
    if (qMin<qsizetype>(count, countLines(bytes) - 3) > kMaxWordsInFile)
        throw tooManyWords(path);
    UpdateScope update(table);
    const QByteArray csvStatus(status::CsvFile);
    for (int32_t i = 0; i < count; ++i) {
        progress.show(i, count - 1);
        const QByteArrayView line = lines.next();
        DictRow row;
        row.word = decodeText(field(line, 0), encoding);
        row.number = QByteArray::number(i);
        // Language IDs are ASCII in either encoding; anything else fails
        // their conversion.
        row.languageId = field(line, 1);
        try {
            row.language = LanguageName(state.langStructure, static_cast<uint8_t>(hexToInt(row.languageId) & 0xFF));
        } catch (const ConvertError& e) {
            throw VexlonError::atLine(e, path, 4 + qsizetype(i));
        }
        row.status = csvStatus;
        table.append(row);
    }
    return true;
}

QByteArray BuildCsvFile(const QVector<DictRow>& rows, const QString& stamp, ProgressScope* progress, TextEncoding encoding)
{
    const auto text = [encoding](const QString& t) {
        QByteArray bytes;
        encodeText(t, encoding, bytes);
        return bytes;
    };
    QByteArrayList lines;
    lines.reserve(rows.size() + 3);
    lines << "Vexlon CSV format users dictionary file";
    lines << QByteArray("Saved: ;") + (encoding == TextEncoding::Utf8 ? stamp.toUtf8() : cp1251::fromUnicode(stamp));
    lines << QByteArray("Word Amount;") + QByteArray::number(rows.size());
    const int last = static_cast<int>(rows.size()) - 1;
    QByteArray word;
    for (int i = 0; i < rows.size(); ++i) {
        if (progress)
            progress->show(i, last);
        const DictRow& row = rows[i];
        if (row.word.contains(QLatin1Char(';')))
            throw VexlonError(QStringLiteral("The word \"%1\" holds \";\", which a CSV file cannot store.").arg(printable(cp1251::shown(row.word))));
        const qsizetype bad = encodeText(row.word, encoding, word);
        if (bad >= 0)
            throw VexlonError(QStringLiteral("The word \"%1\" holds \"%2\", which Windows-1251 cannot store. Save the CSV file "
                                             "in UTF-8 to keep it; nothing was written.")
                                  .arg(printable(cp1251::shown(row.word)), QString(row.word.at(bad))));
        lines << word + ';' + row.languageId + ';' + text(cp1251::toUnicode(row.language)) + ';';
    }
    QByteArray content = joinCrLf(lines);
    if (encoding == TextEncoding::Utf8)
        content.prepend(kUtf8Bom);
    return content;
}

void WriteCsvFile(const ProgramState& state, const DictionaryTable& table, const QString& path, TextEncoding encoding)
{
    ProgressScope progress(state.ui(), state.texts.STAT(4));
    writeFileSafely(path, BuildCsvFile(table.rows(), cp1251::nowStamp(), &progress, encoding));
}

void ReadTextFile(const ProgramState& state, DictionaryTable& table, const QString& path)
{
    (void)state;
    if (!QFileInfo(path).isFile())
        return;
    QByteArray bytes = readWholeFile(path, kMaxDictionaryFileBytes);
    const TextEncoding encoding = takeEncoding(bytes);
    // Every blank and every line end makes a row; counted before any row is
    // made, so that a file of blanks cannot fill the memory with empty words.
    if (bytes.count(' ') + countLines(bytes) > kMaxWordsInFile)
        throw tooManyWords(path);
    LineReader lines(bytes);
    UpdateScope update(table);
    const QByteArray textStatus(status::TextFile);
    const QByteArray noLanguage("FF");
    auto addWord = [&](QByteArrayView word, qsizetype endPosition) {
        DictRow row;
        row.word = decodeText(word, encoding);
        row.number = QByteArray::number(endPosition);
        row.languageId = noLanguage;
        row.status = textStatus;
        table.append(row);
    };
    while (!lines.atEnd()) {
        const QByteArrayView line = lines.next();
        qsizetype start = 0;
        for (qsizetype i = 0; i < line.size(); ++i) {
            if (line[i] == ' ') {
                addWord(line.sliced(start, i - start), i + 1);
                start = i + 1;
            }
        }
        addWord(line.sliced(start), line.size() + 1);
    }
}

} // namespace vexlon
