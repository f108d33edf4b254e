#include "phone/linux/TermiosPort.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

using namespace vexlon::phone;
using namespace vexlon::phone::lnx;

namespace {

// A pseudo-terminal stands in for the phone's modem: the port under test is
// opened on the terminal side, the test reads what "the phone" receives on
// the other.
class Pty {
public:
    Pty()
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
            return;
        if (const char* name = ::ptsname(m_master))
            m_path = name;
        // Hold the terminal side open, as the modem's driver would, and give
        // it a line setting the port must not change.
        m_keeper = ::open(m_path.c_str(), O_RDWR | O_NOCTTY);
        termios t{};
        ::tcgetattr(m_keeper, &t);
        ::cfsetispeed(&t, B19200);
        ::cfsetospeed(&t, B19200);
        t.c_cflag |= CSTOPB;  // (a pty keeps 8 bits without parity whatever is asked)
        ::tcsetattr(m_keeper, TCSANOW, &t);
    }
    ~Pty()
    {
        closeMaster();
        if (m_keeper >= 0)
            ::close(m_keeper);
    }
    bool ok() const { return m_master >= 0 && m_keeper >= 0 && !m_path.empty(); }
    const std::string& path() const { return m_path; }
    termios settings() const
    {
        termios t{};
        ::tcgetattr(m_keeper, &t);
        return t;
    }
    // One read of what has arrived, waiting up to a second for it.
    std::string readOnce() const
    {
        pollfd p{m_master, POLLIN, 0};
        if (::poll(&p, 1, 1000) != 1)
            return {};
        char buffer[256];
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
    }
    void closeMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

private:
    int m_master = -1;
    int m_keeper = -1;
    std::string m_path;
};

struct Reports {
    std::vector<std::string> lines;
    ReportFn fn()
    {
        return [this](const std::string& text) { lines.push_back(text); };
    }
};

std::span<const uint8_t> bytes(const std::string& text)
{
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

} // namespace

TEST(TermiosPortTest, ModeSwitchLineArrivesInOnePiece)
{
    Pty pty;
    ASSERT_TRUE(pty.ok());
    Reports reports;
    auto port = TermiosPort::open(pty.path(), reports.fn());
    ASSERT_TRUE(port);

    // Raw: nothing echoed back to the phone, LF not turned into CR LF, no
    // line editing; speed and framing as they were.
    const termios t = pty.settings();
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_lflag & (ECHO | ICANON | ISIG), 0u);
    EXPECT_EQ(t.c_iflag & (ICRNL | IXON), 0u);
    EXPECT_NE(t.c_cflag & CLOCAL, 0u);
    EXPECT_EQ(::cfgetospeed(&t), B19200);
    EXPECT_NE(t.c_cflag & CSTOPB, 0u);
    EXPECT_EQ(port->baudRate(), 19200u);

    const std::string line = "AT+Mode=8\r\n";
    EXPECT_EQ(port->write(bytes(line)), 11u);
    EXPECT_EQ(pty.readOnce(), line);
    EXPECT_TRUE(reports.lines.empty());

    // Closing gives the line its settings back.
    EXPECT_TRUE(port->close());
    EXPECT_TRUE(port->close());
    EXPECT_NE(pty.settings().c_oflag & OPOST, 0u);
    EXPECT_FALSE(port->write(bytes(line)));
    EXPECT_FALSE(port->baudRate());
}

TEST(TermiosPortTest, TimeOutsAreSetAndReadBack)
{
    EXPECT_EQ(vtimeFor(0), 0);
    EXPECT_EQ(vtimeFor(1), 1);
    EXPECT_EQ(vtimeFor(1000), 10);
    EXPECT_EQ(vtimeFor(1001), 11);
    EXPECT_EQ(vtimeFor(25500), 255);
    EXPECT_EQ(vtimeFor(0xFFFFFFFFu), 255);

    Pty pty;
    ASSERT_TRUE(pty.ok());
    auto port = TermiosPort::open(pty.path(), {});
    ASSERT_TRUE(port);
    // A new port: reads return at once, writes bounded by the default.
    EXPECT_EQ(port->getTimeouts(), PortTimeouts{});
    EXPECT_EQ(pty.settings().c_cc[VMIN], 0);
    EXPECT_EQ(pty.settings().c_cc[VTIME], 0);

    PortTimeouts wanted;
    wanted.readTotalConstant = 1000;
    wanted.writeTotalConstant = 1000;
    ASSERT_TRUE(port->setTimeouts(wanted));
    EXPECT_EQ(pty.settings().c_cc[VTIME], 10);
    EXPECT_EQ(pty.settings().c_cc[VMIN], 0);
    EXPECT_EQ(port->getTimeouts(), wanted);

    // What the line cannot hold is read back as applied, so the caller sees
    // the difference.
    wanted.readTotalConstant = 150;
    ASSERT_TRUE(port->setTimeouts(wanted));
    EXPECT_EQ(port->getTimeouts()->readTotalConstant, 200u);
    wanted.readTotalConstant = 100000;
    ASSERT_TRUE(port->setTimeouts(wanted));
    EXPECT_EQ(port->getTimeouts()->readTotalConstant, 25500u);
}

TEST(TermiosPortTest, WriteToAStuckLineEndsWithinItsTimeOut)
{
    Pty pty;
    ASSERT_TRUE(pty.ok());
    Reports reports;
    auto port = TermiosPort::open(pty.path(), reports.fn());
    ASSERT_TRUE(port);
    PortTimeouts timeouts;
    timeouts.writeTotalConstant = 1;
    ASSERT_TRUE(port->setTimeouts(timeouts));
    // Nobody reads the other side: the line fills up and the write returns
    // what went out instead of blocking.
    const std::string big(1 << 20, 'x');
    const auto written = port->write(bytes(big));
    ASSERT_TRUE(written);
    EXPECT_LT(*written, big.size());
    ASSERT_FALSE(reports.lines.empty());
    EXPECT_NE(reports.lines.back().find("of 1048576 bytes"), std::string::npos);
    // Closing does not wait for the stuck output either.
    EXPECT_TRUE(port->close());
}

TEST(TermiosPortTest, LineGoneAndBadPaths)
{
    Reports reports;
    {
        Pty pty;
        ASSERT_TRUE(pty.ok());
        auto port = TermiosPort::open(pty.path(), reports.fn());
        ASSERT_TRUE(port);
        pty.closeMaster();  // the modem leaves the bus: the line hangs up
        EXPECT_FALSE(port->baudRate());
        const std::string line = "AT+Mode=8\r\n";
        EXPECT_FALSE(port->write(bytes(line)));
        EXPECT_TRUE(port->close());
    }
    reports.lines.clear();

    EXPECT_FALSE(TermiosPort::open("/nonexistent/ttyACM9", reports.fn()));
    ASSERT_EQ(reports.lines.size(), 1u);
    EXPECT_NE(reports.lines[0].find("/nonexistent/ttyACM9"), std::string::npos);

    // A plain file must not receive modem commands.
    char name[] = "/tmp/vexlon-port-XXXXXX";
    const int fd = ::mkstemp(name);
    ASSERT_GE(fd, 0);
    ::close(fd);
    EXPECT_FALSE(TermiosPort::open(name, reports.fn()));
    EXPECT_NE(reports.lines.back().find("not a serial port"), std::string::npos);
    ::unlink(name);
}
