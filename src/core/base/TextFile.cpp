#include "core/base/TextFile.h"

#include "core/base/CodePage1251.h"
#include "core/base/Errors.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <algorithm>

namespace vexlon {

QByteArray readWholeFile(const QString& path, qint64 maxBytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError::cannotOpen(path, file.errorString());
    if (file.size() > maxBytes)
        throw FileError::tooLarge(path, maxBytes);
    // Read in pieces, so that neither a file that grows nor a pipe without a
    // size can take more than the limit.
    QByteArray bytes;
    if (!file.isSequential())
        bytes.reserve(file.size());
    for (;;) {
        const QByteArray piece = file.read(qint64(1) << 16);
        if (file.error() != QFileDevice::NoError)
            throw FileError::cannotOpen(path, file.errorString());
        if (piece.isEmpty())
            break;
        if (bytes.size() + piece.size() > maxBytes)
            throw FileError::tooLarge(path, maxBytes);
        bytes.append(piece);
    }
    return bytes;
}

QByteArrayList splitLines(const QByteArray& bytes)
{
    QByteArrayList lines;
    LineReader reader(bytes);
    while (!reader.atEnd())
        lines.append(reader.next().toByteArray());
    return lines;
}

qsizetype countLines(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return 0;
    const qsizetype ends = bytes.count('\n');
    return bytes.endsWith('\n') ? ends : ends + 1;
}

QByteArrayView LineReader::next()
{
    if (atEnd())
        return {};
    const qsizetype start = m_next;
    const qsizetype lf = m_bytes.indexOf('\n', start);
    qsizetype end = lf < 0 ? m_bytes.size() : lf;
    m_next = lf < 0 ? m_bytes.size() : lf + 1;
    if (lf >= 0 && end > start && m_bytes.at(end - 1) == '\r')
        --end;
    return QByteArrayView(m_bytes).sliced(start, end - start);
}

bool writeAllChecked(QIODevice& device, const QByteArray& content, QString& reason)
{
    qsizetype done = 0;
    while (done < content.size()) {
        const qint64 n = device.write(content.constData() + done, content.size() - done);
        if (n <= 0) {
            reason = device.errorString();
            return false;
        }
        done += n;
    }
    if (auto* file = qobject_cast<QFileDevice*>(&device)) {
        if (!file->flush() || file->error() != QFileDevice::NoError) {
            reason = file->errorString();
            return false;
        }
    }
    return true;
}

void writeFileSafely(const QString& path, const QByteArray& content)
{
    QSaveFile file(path);
    // Unbuffered: a buffered write is "accepted" although the disk is full,
    // and QSaveFile would then commit a cut-short file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw FileError::cannotCreate(path, file.errorString());
    QString reason;
    bool ok = writeAllChecked(file, content, reason);
    if (ok && file.size() != content.size()) {
        reason = QStringLiteral("Only %1 of %2 bytes reached the disk.").arg(file.size()).arg(content.size());
        ok = false;
    }
    if (!ok) {
        file.cancelWriting();
        throw FileError::writeFailed(path, reason.isEmpty() ? QStringLiteral("Write error.") : reason);
    }
    if (!file.commit())
        throw FileError::writeFailed(path, file.errorString());
}

QByteArray joinCrLf(const QByteArrayList& lines)
{
    QByteArray out;
    for (const QByteArray& line : lines) {
        out.append(line);
        out.append("\r\n");
    }
    return out;
}

TextEncoding takeEncoding(QByteArray& bytes)
{
    if (bytes.startsWith(kUtf8Bom)) {
        bytes.remove(0, 3);
        return TextEncoding::Utf8;
    }
    const bool ascii = std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return static_cast<uint8_t>(c) < 0x80; });
    if (ascii)
        return TextEncoding::Windows1251;
    // Checked a piece at a time, so that a Windows-1251 text, which fails
    // within its first letters, is not decoded whole first. Pieces end
    // before an ASCII byte, which no sequence holds, and each is decoded on
    // its own, so that a sequence cut off at the end of the file is an
    // error too (a decoder that keeps state across calls waits for its
    // rest instead).
    constexpr qsizetype kPiece = 64 * 1024;
    const QByteArrayView all(bytes);
    for (qsizetype at = 0; at < all.size();) {
        qsizetype end = qMin(all.size(), at + kPiece);
        while (end < all.size() && static_cast<uint8_t>(all[end]) >= 0x80)
            ++end;
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        // The decoding runs when its result is taken.
        const QString decoded = utf8.decode(all.sliced(at, end - at));
        Q_UNUSED(decoded);
        if (utf8.hasError())
            return TextEncoding::Windows1251;
        at = end;
    }
    return TextEncoding::Utf8;
}

QString decodeText(QByteArrayView bytes, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8)
        return QString::fromUtf8(bytes);
    return cp1251::toUnicode(bytes);
}

qsizetype encodeText(QStringView text, TextEncoding encoding, QByteArray& out)
{
    if (encoding == TextEncoding::Utf8) {
        out = text.toUtf8();
        return -1;
    }
    return cp1251::encodeWord(text, out);
}

} // namespace vexlon
