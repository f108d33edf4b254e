#include "phone/linux/TermiosPort.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace vexlon::phone::lnx {

namespace {

using SteadyClock = std::chrono::steady_clock;

std::string errorText(int error)
{
    return std::strerror(error);
}

int remainingMs(SteadyClock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, 1'000'000));
}

bool setNonBlocking(int fd, bool on)
{
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0)
        return false;
    const int wanted = on ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
    return wanted == flags || ::fcntl(fd, F_SETFL, wanted) == 0;
}

} // namespace

cc_t vtimeFor(uint32_t readTimeoutMs)
{
    const uint32_t tenths = readTimeoutMs / 100 + (readTimeoutMs % 100 != 0 ? 1 : 0);
    return static_cast<cc_t>(std::min<uint32_t>(tenths, 255));
}

std::optional<uint32_t> baudOf(speed_t speed)
{
    switch (speed) {
    case B0: return 0;
    case B50: return 50;
    case B75: return 75;
    case B110: return 110;
    case B134: return 134;
    case B150: return 150;
    case B200: return 200;
    case B300: return 300;
    case B600: return 600;
    case B1200: return 1200;
    case B1800: return 1800;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    case B230400: return 230400;
    case B460800: return 460800;
    case B500000: return 500000;
    case B576000: return 576000;
    case B921600: return 921600;
    case B1000000: return 1000000;
    case B1152000: return 1152000;
    case B1500000: return 1500000;
    case B2000000: return 2000000;
    case B2500000: return 2500000;
    case B3000000: return 3000000;
    case B3500000: return 3500000;
    case B4000000: return 4000000;
    default: return std::nullopt;
    }
}

termios rawAttributes(const termios& current, cc_t vtime)
{
    termios raw = current;
    raw.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL
                                          | IXON | IXOFF | IXANY);
    raw.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN);
    raw.c_cflag |= static_cast<tcflag_t>(CLOCAL | CREAD);
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = vtime;
    return raw;
}

std::unique_ptr<TermiosPort> TermiosPort::open(const std::string& path, ReportFn report)
{
    const auto say = [&report](const std::string& text) {
        if (report)
            report(text);
    };
    // O_NONBLOCK: a modem line without carrier would otherwise hold the open.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        std::string text = "cannot open " + path + ": " + errorText(error);
        if (error == EACCES || error == EPERM)
            text += " (install the udev rule for Motorola phones and plug the phone in again)";
        say(text);
        return nullptr;
    }
    termios original{};
    if (!::isatty(fd) || ::tcgetattr(fd, &original) != 0) {
        ::close(fd);
        say(path + " is not a serial port");
        return nullptr;
    }
    const termios raw = rawAttributes(original, vtimeFor(0));
    if (::tcsetattr(fd, TCSANOW, &raw) != 0 || !setNonBlocking(fd, false)) {
        const int error = errno;
        ::tcsetattr(fd, TCSANOW, &original);
        ::close(fd);
        say("cannot set up " + path + ": " + errorText(error));
        return nullptr;
    }
    return std::unique_ptr<TermiosPort>(new TermiosPort(fd, original, path, std::move(report)));
}

TermiosPort::TermiosPort(int fd, const termios& original, std::string path, ReportFn report)
    : m_fd(fd), m_original(original), m_path(std::move(path)), m_report(std::move(report))
{
}

TermiosPort::~TermiosPort()
{
    close();
}

void TermiosPort::report(const std::string& text) const
{
    if (m_report)
        m_report(text);
}

uint32_t TermiosPort::writeBoundMs() const
{
    return m_writeTimeoutMs != 0 ? m_writeTimeoutMs : kDefaultWriteBoundMs;
}

std::optional<uint32_t> TermiosPort::baudRate()
{
    termios current{};
    if (m_fd < 0 || ::tcgetattr(m_fd, &current) != 0)
        return std::nullopt;
    // A speed this table does not know is still a live line.
    return baudOf(::cfgetospeed(&current)).value_or(1);
}

std::optional<PortTimeouts> TermiosPort::getTimeouts()
{
    termios current{};
    if (m_fd < 0 || ::tcgetattr(m_fd, &current) != 0)
        return std::nullopt;
    PortTimeouts timeouts;
    timeouts.readTotalConstant = current.c_cc[VMIN] == 0 ? uint32_t{current.c_cc[VTIME]} * 100 : 0;
    timeouts.writeTotalConstant = m_writeTimeoutMs;
    return timeouts;
}

bool TermiosPort::setTimeouts(const PortTimeouts& timeouts)
{
    termios current{};
    if (m_fd < 0 || ::tcgetattr(m_fd, &current) != 0)
        return false;
    current.c_cc[VMIN] = 0;
    current.c_cc[VTIME] = vtimeFor(timeouts.readTotalConstant);
    if (::tcsetattr(m_fd, TCSANOW, &current) != 0) {
        report("cannot set the time-outs of " + m_path + ": " + errorText(errno));
        return false;
    }
    m_writeTimeoutMs = timeouts.writeTotalConstant;
    return true;
}

std::optional<std::size_t> TermiosPort::write(std::span<const uint8_t> bytes)
{
    if (m_fd < 0)
        return std::nullopt;
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(writeBoundMs());
    if (!setNonBlocking(m_fd, true)) {
        report("cannot write to " + m_path + ": " + errorText(errno));
        return std::nullopt;
    }
    std::size_t written = 0;
    std::optional<int> failure;
    while (written < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.data() + written, bytes.size() - written);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN) {
            failure = errno;
            break;
        }
        const int wait = remainingMs(deadline);
        if (wait <= 0)
            break;
        pollfd pfd{m_fd, POLLOUT, 0};
        const int ready = ::poll(&pfd, 1, wait);
        if (ready < 0 && errno != EINTR) {
            failure = errno;
            break;
        }
        if (ready > 0 && (pfd.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            failure = EIO;
            break;
        }
    }
    setNonBlocking(m_fd, false);
    if (failure && written == 0) {
        report("cannot write to " + m_path + ": " + errorText(*failure));
        return std::nullopt;
    }
    if (written < bytes.size())
        report("wrote " + std::to_string(written) + " of " + std::to_string(bytes.size()) + " bytes to "
               + m_path + (failure ? ": " + errorText(*failure) : std::string(" within the time-out")));
    return written;
}

// Closing a tty waits until its output has gone, for as long as the driver
// allows (half a minute by default); a phone that stops reading must not
// hold the program that long.
void TermiosPort::drainOutput()
{
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(writeBoundMs());
    for (;;) {
        int queued = 0;
        if (::ioctl(m_fd, TIOCOUTQ, &queued) != 0 || queued <= 0)
            return;
        if (remainingMs(deadline) <= 0) {
            ::tcflush(m_fd, TCOFLUSH);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool TermiosPort::close()
{
    if (m_fd < 0)
        return true;
    drainOutput();
    ::tcsetattr(m_fd, TCSANOW, &m_original);
    // The descriptor is released whatever close() answers; there is nothing
    // to retry.
    ::close(m_fd);
    m_fd = -1;
    return true;
}

} // namespace vexlon::phone::lnx
