#include "cli/FileNames.h"

#include "core/base/Errors.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace vexlon::cli {

namespace {

std::string absolute(const std::string& raw)
{
    if (!raw.empty() && raw.front() == '/')
        return raw;
    std::string cwd(4096, '\0');
    if (!::getcwd(cwd.data(), cwd.size()))
        return raw;
    cwd.resize(std::strlen(cwd.c_str()));
    return cwd + "/" + raw;
}

QString shownName(const std::string& raw)
{
    return printable(QString::fromUtf8(raw.data(), static_cast<qsizetype>(raw.size())));
}

QString systemReason()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

NamedFile::NamedFile(std::string raw) : m_raw(std::move(raw))
{
    const QByteArray bytes = QByteArray::fromStdString(m_raw);
    m_plain = QFile::encodeName(QFile::decodeName(bytes)) == bytes;
}

NamedFile::~NamedFile() = default;

QString NamedFile::linkTo(const std::string& target, const QString& name)
{
    if (!m_links) {
        m_links = std::make_unique<QTemporaryDir>();
        if (!m_links->isValid())
            throw FileError::cannotOpen(shownName(m_raw), m_links->errorString());
    }
    const QString link = m_links->filePath(name);
    if (::symlink(target.c_str(), QFile::encodeName(link).constData()) != 0)
        throw FileError::cannotOpen(shownName(m_raw), systemReason());
    return link;
}

QString NamedFile::readName()
{
    if (m_plain)
        return QFile::decodeName(QByteArray::fromStdString(m_raw));
    // The link keeps the name's extension, which chooses the format.
    const std::string::size_type dot = m_raw.find_last_of("./");
    std::string extension;
    if (dot != std::string::npos && m_raw[dot] == '.')
        extension = m_raw.substr(dot);
    const QByteArray ext = QByteArray::fromStdString(extension);
    const bool plainExt = QFile::encodeName(QFile::decodeName(ext)) == ext;
    return linkTo(absolute(m_raw), QStringLiteral("file") + (plainExt ? QFile::decodeName(ext) : QString()));
}

void NamedFile::write(const std::function<void(const QString&)>& writer)
{
    if (m_plain) {
        writer(QFile::decodeName(QByteArray::fromStdString(m_raw)));
        return;
    }
    const std::string path = absolute(m_raw);
    const std::string folder = path.substr(0, path.find_last_of('/'));
    const std::string part = ".vexlon-" + std::to_string(::getpid()) + ".part";
    if (::access((folder.empty() ? "/" : folder).c_str(), W_OK) != 0)
        throw FileError::cannotCreate(shownName(m_raw), systemReason());
    const QString folderLink = linkTo(folder.empty() ? "/" : folder, QStringLiteral("folder"));
    writer(folderLink + QLatin1Char('/') + QString::fromStdString(part));
    const std::string written = folder + "/" + part;
    if (::rename(written.c_str(), path.c_str()) != 0) {
        const QString reason = systemReason();
        ::unlink(written.c_str());
        throw FileError::cannotCreate(shownName(m_raw), reason);
    }
}

} // namespace vexlon::cli
