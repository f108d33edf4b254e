// Line-oriented 8-bit text files: CR LF on writing, CR LF or LF on reading.
// Every file is replaced only when the whole new content has been written.
#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

namespace vexlon {

// Whole file; throws FileError ("Cannot open file ...") when it cannot be read.
QByteArray readWholeFile(const QString& path);

// Splits into lines at LF, dropping one CR before each LF. A last line without
// a line end is still a line; an empty file has no lines.
QByteArrayList splitLines(const QByteArray& bytes);

// Sequential reader over the lines of a file; past the end it gives empty
// lines, as reading past the end of a text file does.
class LineReader {
public:
    explicit LineReader(QByteArrayList lines) : m_lines(std::move(lines)) {}
    bool atEnd() const { return m_next >= m_lines.size(); }
    QByteArray next() { return atEnd() ? QByteArray() : m_lines.at(m_next++); }

private:
    QByteArrayList m_lines;
    qsizetype m_next = 0;
};

// Writes the file to a temporary file beside the target and puts it in place
// only when everything was written; the old file stays whole otherwise.
// Throws FileError on failure.
void writeFileSafely(const QString& path, const QByteArray& content);

// Joins lines, each followed by CR LF.
QByteArray joinCrLf(const QByteArrayList& lines);

} // namespace vexlon
