// Line-oriented 8-bit text files: CR LF on writing, CR LF or LF on reading.
// Every file is replaced only when the whole new content has been written.
#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QByteArrayView>
#include <QString>

class QIODevice;

namespace vexlon {

// The largest files the program reads whole. A larger file is refused before
// a byte of it is read, so no input can make memory run out.
inline constexpr qint64 kMaxSmallFileBytes = qint64(1) << 20;      // settings, packs, language list, trailer
inline constexpr qint64 kMaxDictionaryFileBytes = qint64(32) << 20; // .iud, CSV and text dictionaries
inline constexpr qint64 kMaxListFileBytes = qint64(64) << 20;       // white, black and statistic lists

// Whole file; throws FileError ("Cannot open file ...") when it cannot be
// read, and when it is larger than maxBytes.
QByteArray readWholeFile(const QString& path, qint64 maxBytes = kMaxSmallFileBytes);

// Splits into lines at LF, dropping one CR before each LF. A last line without
// a line end is still a line; an empty file has no lines.
QByteArrayList splitLines(const QByteArray& bytes);

// The number of lines splitLines would give, without making them.
qsizetype countLines(QByteArrayView bytes);

// Sequential reader over the lines of a file's bytes, without copying them;
// past the end it gives empty lines, as reading past the end of a text file
// does.
class LineReader {
public:
    explicit LineReader(QByteArray bytes) : m_bytes(std::move(bytes)) {}
    bool atEnd() const { return m_next >= m_bytes.size(); }
    QByteArrayView next();
    // All the bytes, which the lines are views into.
    QByteArrayView text() const { return m_bytes; }

private:
    QByteArray m_bytes;
    qsizetype m_next = 0;
};

// Writes all of content to an open device. False, with the device's error
// string in reason, when any write falls short or the device reports an
// error; a device that keeps a buffer is flushed and checked too.
bool writeAllChecked(QIODevice& device, const QByteArray& content, QString& reason);

// Writes the file to a temporary file beside the target and puts it in place
// only when every write, the flush and the final size were checked; the old
// file stays whole, byte for byte, otherwise. Throws FileError on failure.
void writeFileSafely(const QString& path, const QByteArray& content);

// The encodings of the program's text files: Windows-1251, the default, and
// UTF-8.
enum class TextEncoding { Windows1251, Utf8 };

// How a text file's bytes are to be read: UTF-8 when they start with the
// UTF-8 byte-order mark, or are valid UTF-8 and hold a byte above 0x7F;
// Windows-1251 otherwise. A byte-order mark is removed from bytes.
TextEncoding takeEncoding(QByteArray& bytes);

// Text of the encoding. A UTF-8 sequence that is not valid turns into
// U+FFFD; a Windows-1251 byte without a character into a kept code.
QString decodeText(QByteArrayView bytes, TextEncoding encoding);

// Bytes of the encoding. Returns the position of the first character
// Windows-1251 lacks (always -1 for UTF-8).
qsizetype encodeText(QStringView text, TextEncoding encoding, QByteArray& out);

// The byte-order mark a UTF-8 file of the program starts with.
inline constexpr const char* kUtf8Bom = "\xEF\xBB\xBF";

// Joins lines, each followed by CR LF.
QByteArray joinCrLf(const QByteArrayList& lines);

} // namespace vexlon
