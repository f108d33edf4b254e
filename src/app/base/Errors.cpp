#include "app/base/Errors.h"

namespace vexlon {

FileError FileError::cannotOpen(const QString& path, const QString& reason)
{
    return FileError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason));
}

FileError FileError::cannotCreate(const QString& path, const QString& reason)
{
    return FileError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason));
}

FileError FileError::writeFailed(const QString& path, const QString& reason)
{
    return FileError(QStringLiteral("Cannot write file \"%1\". %2").arg(path, reason));
}

ConvertError::ConvertError(const QString& text)
    : VexlonError(QStringLiteral("'%1' is not a valid integer value").arg(text))
{
}

} // namespace vexlon
