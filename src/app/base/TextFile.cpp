#include "app/base/TextFile.h"

#include "app/base/Errors.h"

#include <QFile>
#include <QSaveFile>

namespace vexlon {

QByteArray readWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError::cannotOpen(path, file.errorString());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileError::cannotOpen(path, file.errorString());
    return bytes;
}

QByteArrayList splitLines(const QByteArray& bytes)
{
    QByteArrayList lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype lf = bytes.indexOf('\n', start);
        qsizetype end = lf < 0 ? bytes.size() : lf;
        qsizetype contentEnd = end;
        if (lf >= 0 && contentEnd > start && bytes.at(contentEnd - 1) == '\r')
            --contentEnd;
        lines.append(bytes.mid(start, contentEnd - start));
        if (lf < 0)
            break;
        start = lf + 1;
    }
    return lines;
}

void writeFileSafely(const QString& path, const QByteArray& content)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw FileError::cannotCreate(path, file.errorString());
    if (file.write(content) != content.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw FileError::writeFailed(path, reason);
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

} // namespace vexlon
