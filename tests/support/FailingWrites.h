// Ways to make a write fail part-way, for the tests of every writer.
//
// FileSizeLimit makes the disk "full" for this process without root: with
// RLIMIT_FSIZE lowered and SIGXFSZ ignored, a write that would grow a file
// past the limit is cut short and the next one fails with EFBIG, as on a full
// disk. FailDevice is a device that accepts a given number of bytes and then
// refuses every write.
#pragma once

#include <QIODevice>
#include <csignal>
#include <sys/resource.h>

namespace vexlon::test {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved {};
    void (*m_oldHandler)(int) = nullptr;
};

class FailDevice : public QIODevice {
public:
    explicit FailDevice(qint64 failAfter) : m_failAfter(failAfter) { open(QIODevice::WriteOnly); }
    QByteArray written;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 len) override
    {
        const qint64 room = m_failAfter - written.size();
        if (room <= 0) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        const qint64 n = qMin(room, len);
        written.append(data, n);
        return n;
    }

private:
    qint64 m_failAfter;
};

} // namespace vexlon::test
