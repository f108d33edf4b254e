// The serial port on a pseudo-terminal standing in for the phone's modem.
#include "phone/MotoATMode.h"
#include "phone/linux/LinuxBackend.h"
#include "phone/linux/TermiosPort.h"

#include "phone/PhoneTestSupport.h"

using namespace vexlon::phone;
using namespace vexlon::phone::lnx;
using vexlon::phone::test::Pty;
using vexlon::phone::test::Texts;

namespace {

std::span<const uint8_t> bytes(const std::string& text)
{
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

ReportFn into(Texts& reports)
{
    return [&reports](const std::string& text) { reports.push_back(text); };
}

} // namespace

// An AT-mode item of the component on this backend's serial port: the line
// is raw while the item holds it, the mode switch goes out as one line of 11
// bytes, and closing gives the line its settings back.
TEST(TermiosPortTest, ModeSwitchReachesTheModemOverARawLine)
{
    Pty pty;
    ASSERT_TRUE(pty.ok());
    TUSBDevise info;
    info.DevicePath = pty.path();
    auto backend = makeLinuxBackend();
    Texts reports;
    {
        TMotoATModemItem item(*backend, info);
        item.SetOnDebugEvent([&reports](TMotoATModemItem*, const std::string& text, TDebugType, bool) {
            reports.push_back(text);
        });
        ASSERT_TRUE(item.OpenPhone());
        // Nothing echoed back to the phone, LF not turned into CR LF, no line
        // editing; speed and framing as they were.
        const termios t = pty.settings();
        EXPECT_EQ(t.c_oflag & OPOST, 0u);
        EXPECT_EQ(t.c_lflag & (ECHO | ICANON | ISIG), 0u);
        EXPECT_EQ(t.c_iflag & (ICRNL | IXON), 0u);
        EXPECT_NE(t.c_cflag & CLOCAL, 0u);
        EXPECT_EQ(::cfgetospeed(&t), B19200);
        EXPECT_NE(t.c_cflag & CSTOPB, 0u);
        // A new port: reads return at once.
        EXPECT_EQ(t.c_cc[VMIN], 0);
        EXPECT_EQ(t.c_cc[VTIME], 0);

        item.SwitchMode(0);
        EXPECT_EQ(pty.readOnce(), "AT+Mode=8\r\n");
        item.SetTimeOut(1000);
        EXPECT_EQ(pty.settings().c_cc[VTIME], 10);
    }
    EXPECT_NE(pty.settings().c_oflag & OPOST, 0u);
    EXPECT_EQ(reports, (Texts{"Open Phone", "Phone Write Data", "Phone Send Command", "Phone Switch",
                              "Phone Set TimeOut", "Phone Close"}));
}

TEST(TermiosPortTest, TimeOutsAreReadBackAsAppliedAndBoundAWrite)
{
    Pty pty;
    ASSERT_TRUE(pty.ok());
    Texts reports;
    auto port = TermiosPort::open(pty.path(), into(reports));
    ASSERT_TRUE(port);
    EXPECT_EQ(port->getTimeouts(), PortTimeouts{});
    EXPECT_EQ(port->baudRate(), 19200u);
    // What the line cannot hold (tenths of a second, at most 25.5 s) is
    // read back as applied, so the caller sees the difference.
    const std::pair<uint32_t, uint32_t> reads[] = {{1000, 1000}, {150, 200},           {1, 100},
                                                   {100000, 25500}, {0xFFFFFFFFu, 25500}, {0, 0}};
    for (const auto& [wanted, applied] : reads) {
        PortTimeouts timeouts;
        timeouts.readTotalConstant = wanted;
        timeouts.writeTotalConstant = 1;
        ASSERT_TRUE(port->setTimeouts(timeouts));
        EXPECT_EQ(port->getTimeouts()->readTotalConstant, applied) << wanted;
        EXPECT_EQ(port->getTimeouts()->writeTotalConstant, 1u);
        EXPECT_EQ(pty.settings().c_cc[VMIN], 0);
    }
    // Nobody reads the other side: the line fills up and the write returns,
    // within its time-out of 1 ms, what went out instead of blocking.
    const std::string big(1 << 20, 'x');
    const auto written = port->write(bytes(big));
    ASSERT_TRUE(written);
    EXPECT_LT(*written, big.size());
    ASSERT_FALSE(reports.empty());
    EXPECT_NE(reports.back().find("of 1048576 bytes"), std::string::npos);
    // Closing does not wait for the stuck output either; a closed port
    // writes nothing.
    EXPECT_TRUE(port->close());
    EXPECT_TRUE(port->close());
    EXPECT_FALSE(port->write(bytes("AT\r\n")));
    EXPECT_FALSE(port->baudRate());
}

TEST(TermiosPortTest, LineGoneAndBadPaths)
{
    Texts reports;
    {
        Pty pty;
        ASSERT_TRUE(pty.ok());
        auto port = TermiosPort::open(pty.path(), into(reports));
        ASSERT_TRUE(port);
        pty.closeMaster(); // the modem leaves the bus: the line hangs up
        EXPECT_FALSE(port->baudRate());
        EXPECT_FALSE(port->write(bytes("AT+Mode=8\r\n")));
        EXPECT_TRUE(port->close());
    }
    reports.clear();
    EXPECT_FALSE(TermiosPort::open("/nonexistent/ttyACM9", into(reports)));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("/nonexistent/ttyACM9"), std::string::npos);

    // A plain file or a device that is not a terminal must not receive
    // modem commands.
    vexlon::phone::test::TempDir dir;
    vexlon::phone::test::writeFile(dir / "file", {});
    for (const std::string& path : {(dir / "file").string(), std::string("/dev/null")}) {
        EXPECT_FALSE(TermiosPort::open(path, into(reports))) << path;
        EXPECT_NE(reports.back().find("not a serial port"), std::string::npos) << path;
    }
}
