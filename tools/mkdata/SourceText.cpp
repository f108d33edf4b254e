#include "MkData.h"

#include "core/base/CodePage1251.h"
#include "core/base/TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>

namespace vexlon::mkdata {

SourceError::SourceError(const QString& source, int line, const QString& message)
    : VexlonError(line > 0 ? QStringLiteral("%1:%2: %3").arg(source).arg(line).arg(message)
                           : QStringLiteral("%1: %2").arg(source, message))
{
}

QStringList sourceLines(const QByteArray& utf8, const QString& source)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(utf8);
    if (decoder.hasError())
        throw SourceError(source, 0, QStringLiteral("is not valid UTF-8"));
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n')))
        lines.removeLast();
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return lines;
}

QStringList readSourceLines(const QString& path)
{
    return sourceLines(readWholeFile(path), QFileInfo(path).fileName());
}

QByteArray toAnsiCrLf(const QStringList& lines, const QString& source)
{
    QByteArrayList out;
    out.reserve(lines.size());
    for (int i = 0; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        for (const QChar c : line) {
            if (!cp1251::canEncode(c.unicode()))
                throw SourceError(source, i + 1,
                                  QStringLiteral("the character U+%1 \"%2\" has no place in the code page Windows-1251")
                                      .arg(c.unicode(), 4, 16, QLatin1Char('0'))
                                      .arg(c));
        }
        out.append(cp1251::fromUnicode(line));
    }
    return joinCrLf(out);
}

void writeOutput(const QString& path, const QByteArray& bytes)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        throw FileError::cannotCreate(path, QStringLiteral("The folder cannot be created."));
    writeFileSafely(path, bytes);
}

} // namespace vexlon::mkdata
