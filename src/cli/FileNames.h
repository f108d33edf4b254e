// Files named on the command line. Qt reaches files by names that are valid
// UTF-8; a name holding other bytes (a Windows-1251 name copied from an old
// disk, say) is reached through a link with a valid name in a temporary
// folder, so that every name the file system holds can be read and written.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>

namespace vexlon::cli {

class NamedFile {
public:
    explicit NamedFile(std::string raw);
    ~NamedFile();
    NamedFile(const NamedFile&) = delete;
    NamedFile& operator=(const NamedFile&) = delete;

    // True when the name passes through Qt unchanged.
    bool plain() const { return m_plain; }
    // The name to read the file by. Throws FileError when no link can be
    // made to a name that is not plain.
    QString readName();
    // Runs writer with a name to write the whole file to, then puts that
    // file in place under the given name; a name that is not plain gets the
    // file by one rename within its folder. Throws FileError, leaving any
    // file of that name as it was, when the file cannot be put in place.
    void write(const std::function<void(const QString&)>& writer);

private:
    QString linkTo(const std::string& target, const QString& name);

    std::string m_raw;
    bool m_plain;
    std::unique_ptr<QTemporaryDir> m_links;
};

} // namespace vexlon::cli
