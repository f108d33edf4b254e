#include "core/base/Errors.h"

namespace vexlon {

QString printable(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0))
            out += QStringLiteral("\\x") + QString::number(u, 16).rightJustified(2, QLatin1Char('0')).toUpper();
        else
            out += c;
    }
    return out;
}

FileError FileError::cannotOpen(const QString& path, const QString& reason)
{
    return FileError(QStringLiteral("Cannot open file \"%1\". %2").arg(printable(path), reason));
}

FileError FileError::cannotCreate(const QString& path, const QString& reason)
{
    return FileError(QStringLiteral("Cannot create file \"%1\". %2").arg(printable(path), reason));
}

FileError FileError::writeFailed(const QString& path, const QString& reason)
{
    return FileError(QStringLiteral("Cannot write file \"%1\". %2").arg(printable(path), reason));
}

FileError FileError::tooLarge(const QString& path, qint64 maxBytes)
{
    return FileError(QStringLiteral("Cannot open file \"%1\". It is larger than %2 MB, more than this kind of file can hold.")
                         .arg(printable(path))
                         .arg(maxBytes >> 20));
}

ConvertError::ConvertError(const QString& text)
    : VexlonError(QStringLiteral("'%1' is not a valid integer value").arg(printable(text)))
{
}

} // namespace vexlon
