// Errors of the platform's file and number conversion routines. They stop the
// running command and are shown once, at the top of the command (error box in
// the editor, standard error in the command-line tool).
#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace vexlon {

// Text as it may be shown: control characters become \xNN, so that a
// message about a file's bytes never carries them raw.
QString printable(const QString& text);

class VexlonError : public std::exception {
public:
    explicit VexlonError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

    // The same error, told where in which file it was found:
    // "File "PATH", line N: MESSAGE".
    template <class E>
    static E atLine(E error, const QString& path, qsizetype line)
    {
        error.setMessage(QStringLiteral("File \"%1\", line %2: %3").arg(printable(path)).arg(line).arg(error.m_message));
        return error;
    }

protected:
    void setMessage(QString message)
    {
        m_message = std::move(message);
        m_utf8 = m_message.toUtf8();
    }

private:
    QString m_message;
    QByteArray m_utf8;
};

// "Cannot open file "%s". %s" and "Cannot create file "%s". %s", or another
// input/output failure of a file.
class FileError : public VexlonError {
public:
    using VexlonError::VexlonError;
    static FileError cannotOpen(const QString& path, const QString& reason);
    static FileError cannotCreate(const QString& path, const QString& reason);
    static FileError writeFailed(const QString& path, const QString& reason);
    // A file larger than its reader takes, refused before it is read.
    static FileError tooLarge(const QString& path, qint64 maxBytes);
};

// "'%s' is not a valid integer value".
class ConvertError : public VexlonError {
public:
    explicit ConvertError(const QString& text);
};

// A value outside the range its record field or array can take.
class RangeError : public VexlonError {
public:
    using VexlonError::VexlonError;
};

} // namespace vexlon
