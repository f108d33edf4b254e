// The Linux backend on the machine that runs the tests: the serial port on a pseudo-terminal standing in for the
// phone's modem, the backend on whatever the machine offers, and a virtual phone's files in a host folder.
#include "phone/MotoATMode.h"
#include "phone/linux/FolderStorage.h"
#include "phone/linux/LinuxBackend.h"
#include "phone/linux/TermiosPort.h"
#include "phone/linux/UsbFacts.h"

#include "phone/PhoneTestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace vexlon::phone;
using namespace vexlon::phone::lnx;
using namespace vexlon::phone::test;

namespace {

struct TempDir {
    std::filesystem::path path = [] {
        std::string name = (std::filesystem::temp_directory_path() / "vexlon-phone-XXXXXX").string();
        return std::filesystem::path(::mkdtemp(name.data()));
    }();
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

void writeFile(const std::filesystem::path& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

Bytes readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The port under test opens the terminal side; the test reads what "the phone" receives on the other. The terminal
// side stays open at 19200 baud, two stop bits, which the port must keep.
struct Pty {
    int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    std::string path = master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0 ? ::ptsname(master) : "";
    int keeper = path.empty() ? -1 : ::open(path.c_str(), O_RDWR | O_NOCTTY);
    Pty()
    {
        termios t = settings();
        ::cfsetspeed(&t, B19200);
        t.c_cflag |= CSTOPB;
        ::tcsetattr(keeper, TCSANOW, &t);
    }
    ~Pty()
    {
        ::close(master);
        ::close(keeper);
    }
    termios settings() const
    {
        termios t{};
        ::tcgetattr(keeper, &t);
        return t;
    }
    std::string readOnce() const
    {
        char buffer[256];
        pollfd p{master, POLLIN, 0};
        const ssize_t n = ::poll(&p, 1, 1000) == 1 ? ::read(master, buffer, sizeof buffer) : 0;
        return std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0u);
    }
};

} // namespace

// An AT-mode item on this backend's serial port: the line is raw while the item holds it, and given back after.
TEST(TermiosPortTest, ModeSwitchReachesTheModemOverARawLine)
{
    Pty pty;
    ASSERT_GE(pty.keeper, 0);
    TUSBDevise info;
    info.DevicePath = pty.path;
    auto backend = makeLinuxBackend();
    ReportLog log;
    {
        TMotoATModemItem item(*backend, info);
        item.SetOnDebugEvent(log.handler<TMotoATModemItem>());
        ASSERT_TRUE(item.OpenPhone());
        // No echo, no CR LF for LF, no line editing, reads return at once; speed and framing as they were.
        const termios t = pty.settings();
        EXPECT_EQ((t.c_oflag & OPOST) | (t.c_lflag & (ECHO | ICANON | ISIG)) | (t.c_iflag & (ICRNL | IXON)), 0u);
        EXPECT_EQ(t.c_cflag & (CLOCAL | CSTOPB), tcflag_t{CLOCAL | CSTOPB});
        EXPECT_EQ(::cfgetospeed(&t), B19200);
        EXPECT_EQ(t.c_cc[VMIN] + t.c_cc[VTIME], 0);

        item.SwitchMode(0);
        EXPECT_EQ(pty.readOnce(), "AT+Mode=8\r\n");
        item.SetTimeOut(1000);
        EXPECT_EQ(pty.settings().c_cc[VTIME], 10);
    }
    EXPECT_NE(pty.settings().c_oflag & OPOST, 0u);
    EXPECT_EQ(log.texts(), (Texts{"Open Phone", "Phone Write Data", "Phone Send Command", "Phone Switch",
                                  "Phone Set TimeOut", "Phone Close"}));
}

TEST(TermiosPortTest, TimeOutsWritesAndLinesThatFail)
{
    Pty pty;
    Texts reports;
    const ReportFn into = [&reports](const std::string& text) { reports.push_back(text); };
    auto port = TermiosPort::open(pty.path, into);
    ASSERT_TRUE(port);
    EXPECT_EQ(port->getTimeouts(), PortTimeouts{});
    EXPECT_EQ(port->baudRate(), 19200u);
    // What the line cannot hold (tenths of a second, at most 25.5 s) is read back as applied.
    const std::pair<uint32_t, uint32_t> reads[] = {{1000, 1000}, {150, 200}, {1, 100}, {100000, 25500}, {0, 0}};
    for (const auto& [wanted, applied] : reads) {
        ASSERT_TRUE(port->setTimeouts(PortTimeouts{0, 0, wanted, 0, 1}));
        EXPECT_EQ(port->getTimeouts(), (PortTimeouts{0, 0, applied, 0, 1})) << wanted;
        EXPECT_EQ(pty.settings().c_cc[VMIN], 0);
    }
    // Nobody reads the other side: the write returns what went out within its time-out of 1 ms.
    const Bytes big(1 << 20, 'x');
    const auto written = port->write(big);
    ASSERT_TRUE(written);
    EXPECT_LT(*written, big.size());
    ASSERT_FALSE(reports.empty());
    EXPECT_NE(reports.back().find("of 1048576 bytes"), std::string::npos);
    // Closing does not wait for the stuck output either; a closed port writes nothing.
    EXPECT_TRUE(port->close());
    EXPECT_TRUE(port->close());
    EXPECT_FALSE(port->write(big));
    EXPECT_FALSE(port->baudRate());
    // The modem leaves the bus: the line hangs up.
    port = TermiosPort::open(pty.path, into);
    ASSERT_TRUE(port);
    ::close(pty.master);
    pty.master = -1;
    EXPECT_FALSE(port->baudRate());
    EXPECT_FALSE(port->write(Bytes{'A', 'T'}));
    EXPECT_TRUE(port->close());
    EXPECT_FALSE(TermiosPort::open("/nonexistent/ttyACM9", into));
    // A device that is not a terminal must not receive modem commands.
    EXPECT_FALSE(TermiosPort::open("/dev/null", into));
    EXPECT_NE(reports.back().find("not a serial port"), std::string::npos);
}

// The backend answers at once, never crashes, and tells what it could not do.
TEST(LinuxBackendTest, StartsWhateverTheMachineOffers)
{
    Texts reports;
    auto backend = makeLinuxBackend([&reports](const std::string& text) { reports.push_back(text); });
    std::vector<std::unique_ptr<IDeviceWatcher>> watchers;
    for (const auto deviceClass : {DeviceClass::P2KCommand, DeviceClass::ATModem}) {
        const auto& watcher = watchers.emplace_back(backend->watch(deviceClass));
        ASSERT_TRUE(watcher);
        EXPECT_TRUE(watcher->fd() >= 0 || watcher->pollIntervalMs() > 0); // something to wait on, or a period
    }
    TempDir dir;
    writeFile(dir.path / "node", {0x41});
    reports.clear();
    EXPECT_FALSE(backend->openP2K("/dev/bus/usb/001/001"));
    EXPECT_FALSE(backend->openP2K("no-such-device"));
    EXPECT_FALSE(backend->openATPort("/dev/ttyACM-none"));
    EXPECT_FALSE(backend->openP2K(makeP2KPath((dir.path / "node").string(), 0)));
    ASSERT_EQ(reports.size(), 4u);
    EXPECT_NE(reports.back().find("is not a device node"), std::string::npos);
    // The watchers outlive the backend that made them.
    backend.reset();
    for (const auto& watcher : watchers)
        EXPECT_TRUE(watcher->processPendingEvents().empty());
}

// What the phone writes lands as a plain file; what cannot be stored is refused rather than lost quietly.
TEST(FolderStorageTest, FilesAreMadeAppendedAndReadBackAsHostFiles)
{
    TempDir dir;
    FolderStorage storage(dir.path);
    const std::string name = "a/iTAP_User_Dictionary";
    EXPECT_FALSE(storage.read(name));
    ASSERT_TRUE(storage.create(name)); // the folder above is made
    ASSERT_TRUE(storage.append(name, Bytes{1, 2}));
    ASSERT_TRUE(storage.append(name, Bytes{3}));
    EXPECT_EQ(readFile(dir.path / name), (Bytes{1, 2, 3}));
    writeFile(dir.path / "model", {' ', 'V', '3', 'i', '\r', '\n', 'x'});
    EXPECT_EQ(sim::readFirstLine(storage, "model"), "V3i");
    ASSERT_TRUE(storage.create(name)); // made anew: empty
    EXPECT_EQ(storage.read(name), Bytes());

    std::filesystem::create_directories(dir.path / "a/folder");
    EXPECT_FALSE(storage.read("a/folder")); // a folder is no file
    EXPECT_FALSE(storage.create("a/folder"));
    writeFile(dir.path / "plain", {0x41});
    EXPECT_FALSE(storage.create("plain/below")); // a file where a folder must be
    EXPECT_FALSE(storage.append("plain/below", Bytes{1}));
    EXPECT_EQ(readFile(dir.path / "plain"), Bytes{0x41});
}
