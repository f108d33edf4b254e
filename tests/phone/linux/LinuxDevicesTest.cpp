// The Linux device access without hardware: sysfs attribute sets, control transfers over a recording pipe, the device
// watcher on a fake clock, the serial port on a pseudo-terminal, the backend on this machine, and a host folder.
#include "phone/MotoATMode.h"
#include "phone/linux/ControlTransfer.h"
#include "phone/linux/DeviceWatcher.h"
#include "phone/linux/FolderStorage.h"
#include "phone/linux/LinuxBackend.h"
#include "phone/linux/TermiosPort.h"
#include "phone/linux/UsbFacts.h"

#include "phone/PhoneTestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

using namespace vexlon::phone;
using namespace vexlon::phone::lnx;
using namespace vexlon::phone::test;

namespace {

UsbInterfaceAttributes iface(int number, int cls, int subClass = 0, std::string driver = {}, std::string name = {},
                             std::vector<std::string> ttys = {})
{
    return {{}, number, cls, subClass, std::move(driver), std::move(name), std::move(ttys)};
}

UsbDeviceAttributes device(int vendor, int product, int bus, int devnum, std::vector<UsbInterfaceAttributes> interfaces,
                           std::string productName = {})
{
    const int count = static_cast<int>(interfaces.size()); // udev names no node on bus 1: made from the numbers
    return {{}, bus == 1 ? "" : usbfsNode(bus, devnum), false, bus, devnum, vendor, product, count, "Motorola Inc.",
            std::move(productName), std::move(interfaces)};
}

UsbDeviceAttributes p2kPhone(int bus = 1, int devnum = 7)
{
    return device(0x22b8, 0x4902, bus, devnum, {iface(0, 0xFF), iface(1, 0xFF)}, "Motorola Phone (V3)");
}

UsbDeviceAttributes modemPhone(std::vector<std::string> ttys = {"/dev/ttyACM0"}) // ACM control, data; vendor-specific
{
    return device(0x22b8, 0x4901, 1, 6,
                  {iface(0, kClassComm, kSubClassAcm, "cdc_acm", {}, std::move(ttys)),
                   iface(1, kClassCdcData, 0, "cdc_acm"), iface(2, 0xFF)},
                  "Motorola Phone (V3)");
}

// A file close (sequence 0x0102, 4 data bytes), a restart (no data), a status query and an answer fetch.
const InputBlock kClose{{0x41, 0x02, 0, 8, 12}, {0x01, 0x02, 0x00, 0x4A, 0x00, 0x04, 0, 0, 0, 0, 0, 4, 0, 0}};
const InputBlock kRestart{{0x41, 0x02, 0, 8, 8}, {0x00, 0x01, 0x00, 0x22, 0, 0, 0, 0, 0, 0}};
const InputBlock kStatus{{0xC1, 0x00, 0, 8, 8}, {0}};
InputBlock answerFetch(uint16_t count, uint16_t length) { return {{0xC1, 0x01, count, 8, length}, {0}}; }

// Records the time-out of every transfer; answers what is read with the bytes it is given, or fails as told.
struct FakePipe final : ControlPipe {
    PipeResult run(const ControlTransfer& transfer, std::span<uint8_t> data, uint32_t timeoutMs) override
    {
        timeouts.push_back(timeoutMs);
        PipeResult result{status, transfer.outData.size(), error};
        if (status == PipeResult::Status::Done && transfer.deviceToHost) {
            result.transferred = std::min(reply.size(), data.size());
            std::copy_n(reply.begin(), result.transferred, data.begin());
        }
        return result;
    }
    bool close() override { return true; }
    std::vector<uint32_t> timeouts;
    Bytes reply;
    PipeResult::Status status = PipeResult::Status::Done;
    std::string error;
};

using Ids = std::vector<uint32_t>;
using Changes = std::vector<DeviceChange>;
constexpr auto Arrival = DeviceChange::Arrival;
constexpr auto Removal = DeviceChange::Removal;

struct TestEvents final : EventSource {
    int events = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    eventfd_t count = 0;
    ~TestEvents() override { ::close(events); }
    int fd() const override { return events; }
    std::size_t drain() override { return ::eventfd_read(events, &count) == 0 ? count : 0; }
    void send() const { ASSERT_EQ(::eventfd_write(events, 1), 0); }
};

// A device list the test changes at will, with the enumerations counted, on a clock that moves only when told.
class DeviceWatcherTest : public ::testing::Test {
protected:
    std::unique_ptr<DeviceWatcher> watcher(std::unique_ptr<EventSource> events = nullptr, bool timer = false)
    {
        const auto enumerate = [this] { return ++scans, present; };
        const WatcherOptions options{.useTimerFd = timer};
        return std::make_unique<DeviceWatcher>(enumerate, clock, std::move(events), options);
    }
    Changes after(uint32_t ms, DeviceWatcher& w) { return clock.advance(ms), w.processPendingEvents(); }
    std::optional<Ids> present = Ids{}; // nullopt: sysfs not readable
    int scans = 0;
    sim::VirtualClock clock{1000};
};


struct TempDir {
    std::string name = (std::filesystem::temp_directory_path() / "vexlon-phone-XXXXXX").string();
    std::filesystem::path path = ::mkdtemp(name.data());
    ~TempDir() { std::error_code ec; std::filesystem::remove_all(path, ec); }
};

Bytes readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The port opens the terminal side, kept open at 19200 baud, two stop bits; the test reads the other side.
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
    ~Pty() { ::close(master), ::close(keeper); }
    termios settings() const
    {
        termios t{};
        return ::tcgetattr(keeper, &t), t;
    }
};

} // namespace

TEST(UsbFactsTest, WhatIsListedAndHowItIsDescribed)
{
    const auto P2K = DeviceClass::P2KCommand;
    const auto USB = DeviceClass::ATModem;
    const auto with = [](UsbDeviceAttributes d, auto change) { return change(d), d; };
    const UsbDeviceAttributes adapter =
        device(0x0403, 0x6001, 1, 3, {iface(0, 0xFF, 0xFF, "ftdi_sio", {}, {"/dev/ttyUSB0"})}, "FT232R USB UART");
    // What, the device and the listing, its description (empty: not listed) and path.
    const std::tuple<const char*, UsbDeviceAttributes, DeviceClass, std::string, std::string> cases[] = {
        {"p2k phone", p2kPhone(), P2K, "Motorola Test Command Interface (Motorola Phone (V3), 22b8:4902)",
         "/dev/bus/usb/001/007#0"},
        {"modem phone", modemPhone(), USB, "Motorola USB Modem (Motorola Phone (V3), 22b8:4901)", "/dev/ttyACM0"},
        {"modem phone has no command interface", modemPhone(), P2K, "", ""},
        {"adapter of another maker", adapter, USB, "USB Device (FT232R USB UART, 0403:6001)", "/dev/bus/usb/001/003"},
        {"adapter is no phone", adapter, P2K, "", ""},
        {"modem of another maker", with(modemPhone(), [](auto& d) { d.vendorId = 0x1546; d.product = "u-blox GNSS"; }),
         USB, "USB Modem (u-blox GNSS, 1546:4901)", "/dev/ttyACM0"},
        {"named interface wins over a lower number",
         device(0x22b8, 0x4902, 1, 7, {iface(0, 0xFF, 0, {}, "Motorola MCP"), iface(8, 0xFF, 0, {}, "Test Command")}),
         P2K, "Motorola Test Command Interface (Motorola Inc., Test Command, 22b8:4902)", "/dev/bus/usb/001/007#8"},
        {"unnamed: lowest vendor interface, in any order",
         device(0x22b8, 0x4902, 1, 7, {iface(5, 0xFF), iface(3, 0x08), iface(4, 0xFF)}), P2K,
         "Motorola Test Command Interface (Motorola Inc., 22b8:4902)", "/dev/bus/usb/001/007#4"},
        {"no vendor interface", device(0x22b8, 0x1234, 1, 7, {iface(0, 0x08)}), P2K, "", ""},
        {"strings made plain",
         with(p2kPhone(), [](auto& d) { d.product = "  Moto\x01rola\tPh\xC3\xB6ne\x7F\x80V3\n", d.manufacturer = ""; }),
         P2K, "Motorola Test Command Interface (Moto rola Ph??ne ?V3, 22b8:4902)", "/dev/bus/usb/001/007#0"},
        // Half set up: listed once complete, not first as another kind of device.
        {"interfaces still coming", with(p2kPhone(), [](auto& d) { d.interfaceCount = 3; }), USB, "", ""},
        {"no tty yet", modemPhone({}), USB, "", ""},
        {"bound to another driver, no tty will come: a plain device",
         with(modemPhone({}), [](auto& d) { d.interfaces[0].driver = d.interfaces[1].driver = "cdc_ether"; }), USB,
         "USB Device (Motorola Phone (V3), 22b8:4901)", "/dev/bus/usb/001/006"},
        {"root hub", with(device(0x1d6b, 2, 1, 1, {iface(0, 9)}), [](auto& d) { d.rootHub = true; }), USB, "", ""},
    };
    for (const auto& [what, device, listing, description, path] : cases) {
        const auto entries = describeDevice(device, listing);
        ASSERT_EQ(entries.size(), description.empty() ? 0u : 1u) << what;
        for (const auto& entry : entries)
            EXPECT_EQ(std::pair(entry.description, entry.devicePath), std::pair(description, path)) << what;
    }
}

TEST(UsbFactsTest, IdentitiesPathsAndNumbers)
{
    // Same devices, same identities and order; distinct ones, none of them 0.
    const auto first = listDevices({p2kPhone(1, 7), p2kPhone(2, 7), p2kPhone(1, 9)}, DeviceClass::P2KCommand);
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(first, listDevices({p2kPhone(1, 9), p2kPhone(1, 7), p2kPhone(2, 7)}, DeviceClass::P2KCommand));
    EXPECT_EQ((std::set<uint32_t>{0, first[0].devInst, first[1].devInst, first[2].devInst}).size(), 4u);
    // Two ACM ports of one device are distinct, and so are a modem port and the whole-device entry.
    auto twoPorts = modemPhone();
    twoPorts.interfaces.push_back(iface(3, kClassComm, kSubClassAcm, "cdc_acm", {}, {"/dev/ttyACM1"}));
    twoPorts.interfaceCount = 4;
    const auto ports = describeDevice(twoPorts, DeviceClass::ATModem);
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_NE(ports[0].devInst, ports[1].devInst);
    EXPECT_EQ(ports[1].devicePath, "/dev/ttyACM1");
    EXPECT_NE(makeDevInst(DeviceKind::AT, 1, 7, 0), makeDevInst(DeviceKind::Other, 1, 7, 0));
    // Numbers the kernel would not give form no identity.
    const std::tuple<int, int, int> odd[] = {{0, 7, 0}, {256, 7, 0}, {1, 0, 0}, {1, 256, 0}, {1, 7, -1}, {1, 1, 256}};
    for (const auto& [bus, number, interface] : odd)
        EXPECT_FALSE(makeDevInst(DeviceKind::P2K, bus, number, interface)) << bus << ' ' << number << ' ' << interface;
    EXPECT_TRUE(makeDevInst(DeviceKind::P2K, 255, 255, 255));
    EXPECT_EQ(parseP2KPath(makeP2KPath("/dev/bus/usb/001/007", 8)), (P2KPath{"/dev/bus/usb/001/007", 8}));
    for (const char* bad : {"", "/dev/bus/usb/001/007", "#3", "/x#", "/x#256", "/x#1a", "/x#-1", "/x# 1", "/x#0001"})
        EXPECT_FALSE(parseP2KPath(bad)) << bad;
    // Attribute text, read as hexadecimal and as decimal: at most 16 bits.
    const std::tuple<const char*, std::optional<int>, std::optional<int>> numbers[] = {
        {"22b8\n", 0x22b8, {}}, {"FF", 0xFF, {}}, {" 2\n", 2, 2}, {"65535", {}, 65535}, {"65536", {}, {}},
        {"ffff", 0xFFFF, {}},   {"fffff", {}, {}}, {"", {}, {}},  {"0x22", {}, {}},     {"-1", {}, {}}};
    for (const auto& [text, hex, decimal] : numbers)
        EXPECT_EQ(std::pair(parseHexAttribute(text), parseDecimalAttribute(text)), std::pair(hex, decimal)) << text;
}

TEST(ControlTransferTest, EachRequestIsOneVendorTransferOnTheInterface)
{
    using enum RequestKind;
    using enum PipeResult::Status;
    // Request, block, output capacity; the transfer. Out: the setup fields unchanged, the data but the two 0 after.
    const std::tuple<RequestKind, InputBlock, std::size_t, ControlTransfer> cases[] = {
        {Command, kClose, 5, {0x41, 0x02, 0, 8, 12, false, {0x01, 0x02, 0x00, 0x4A, 0x00, 0x04, 0, 0, 0, 0, 0, 4}}},
        {Status, kStatus, 4101, {0xC1, 0x00, 0, 8, 8, true, {}}},
        {Fetch, answerFetch(2, 108), 4101, {0xC1, 0x01, 2, 8, 108, true, {}}},    // the answer count in wValue
        {Fetch, answerFetch(1, 0xFFFF), 4101, {0xC1, 0x01, 1, 8, 4101, true, {}}}, // never past the output area
        {Status, kStatus, 4, {0xC1, 0x00, 0, 8, 4, true, {}}}};
    for (const auto& [kind, block, capacity, expected] : cases)
        EXPECT_EQ(planTransfer(kind, block, capacity).transfer, expected) << expected.length;
    // Standard and class requests would reach the device itself; a wrong direction; a length beyond the data.
    InputBlock overlong = kRestart;
    overlong.setup.length = 11;
    const std::tuple<RequestKind, InputBlock, std::size_t> refused[] = {
        {Status, {{0x80, 0x06, 0x0100, 0, 18}, {0}}, 4101}, {Command, {{0, 9, 1, 0, 0}, {}}, 5},
        {Status, {{0xA1, 0x00, 0, 8, 8}, {0}}, 4101}, {Command, kStatus, 5}, {Fetch, kRestart, 4101},
        {Command, overlong, 5}};
    for (const auto& [kind, block, capacity] : refused)
        EXPECT_FALSE(planTransfer(kind, block, capacity).transfer) << int(block.setup.requestType);

    auto owned = std::make_unique<FakePipe>();
    FakePipe& pipe = *owned;
    Texts reports;
    P2KDevice device(std::move(owned), [&reports](const std::string& t) { reports.push_back(t); });
    const auto completed = [](const RequestResult& r, const Bytes& output) {
        return r.outcome == RequestOutcome::Completed && r.output == output;
    };
    // Data read back is the output block from its first byte, never more than the area, and only what came.
    pipe.reply = {0, 0, 0, 0, 0, 2, 0x01, 0x23};
    EXPECT_TRUE(completed(device.statusQuery(kStatus, 4101, 5000), pipe.reply));
    EXPECT_EQ(pipe.timeouts.back(), 5000u);
    pipe.reply.assign(5000, 0x55);
    EXPECT_TRUE(completed(device.answerFetch(answerFetch(1, 0xFFFF), 4101, 5000), Bytes(4101, 0x55)));
    pipe.reply.resize(24);
    EXPECT_TRUE(completed(device.answerFetch(answerFetch(1, 0xFFFF), 4101, 5000), Bytes(24, 0x55)));
    EXPECT_TRUE(completed(device.sendCommand(kRestart, 5, 5000), {}));
    EXPECT_TRUE(reports.empty());

    pipe.status = TimedOut;
    EXPECT_EQ(device.sendCommand(kRestart, 5, 5000).outcome, RequestOutcome::TimedOut);
    // A phone that has gone fails every poll of the transport's loop: told once, and again after a success.
    pipe.status = Failed;
    pipe.error = "LIBUSB_ERROR_NO_DEVICE";
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(device.statusQuery(kStatus, 4101, 5000).outcome, RequestOutcome::Failed);
    EXPECT_EQ(reports, (Texts{"command packet timed out", "status query failed: LIBUSB_ERROR_NO_DEVICE"}));
    pipe.status = Done;
    device.statusQuery(kStatus, 4101, 5000);
    pipe.status = Failed;
    device.statusQuery(kStatus, 4101, 5000);
    EXPECT_EQ(reports.size(), 3u);
    const std::size_t calls = pipe.timeouts.size();
    EXPECT_EQ(device.sendCommand(kStatus, 5, 5000).outcome, RequestOutcome::Failed);
    EXPECT_EQ(pipe.timeouts.size(), calls);
    EXPECT_NE(reports.back().find("refused"), std::string::npos);
    // Time-out 0 is the shortest wait, never "for ever" (0 to libusb).
    pipe.status = Done;
    device.statusQuery(kStatus, 4101, 0);
    EXPECT_EQ(pipe.timeouts.back(), 1u);
    EXPECT_TRUE(device.close() && device.close());
    EXPECT_EQ(device.statusQuery(kStatus, 4101, 5000).outcome, RequestOutcome::Failed);
}

TEST_F(DeviceWatcherTest, PollingFallbackFollowsTheClock)
{
    // One gone and one come: removal first, so the host closes the old phone before it takes up the new one.
    PresenceTracker tracker({1, 2});
    const std::pair<Ids, Changes> updates[] = {{{2, 1}, {}}, {{1, 2, 3}, {Arrival}}, {{1, 3}, {Removal}},
                                               {{1, 4}, {Removal, Arrival}}, {{}, {Removal}}, {{}, {}}};
    for (const auto& [ids, changes] : updates)
        EXPECT_EQ(tracker.update(ids), changes) << ids.size();

    present = Ids{10};
    clock.set(0xFFFFFFFFu - 4000 + 1); // the tick counter wraps during the wait for the arrival below
    auto w = watcher();
    EXPECT_EQ(std::tuple(scans, w->fd(), w->pollIntervalMs()), std::tuple(1, -1, 2000)); // one scan: the baseline
    // Nothing is enumerated before two seconds are up; a failed enumeration is no removal, nor the next good one news.
    const std::tuple<std::optional<Ids>, uint32_t, Changes, int> steps[] = {
        {Ids{10}, 2000, {}, 2}, {Ids{10, 11}, 1999, {}, 2}, {Ids{10, 11}, 1, {Arrival}, 3},
        {Ids{10, 11}, 2000, {}, 4}, {Ids{11}, 2500, {Removal}, 5}, {std::nullopt, 2000, {}, 6}, {Ids{11}, 2000, {}, 7}};
    for (const auto& [now, ms, changes, scanned] : steps) {
        present = now;
        EXPECT_EQ(after(ms, *w), changes) << scanned;
        EXPECT_EQ(scans, scanned);
    }
    // A watcher whose first look failed reports what a later one finds.
    present = std::nullopt;
    auto late = watcher();
    present = Ids{7};
    EXPECT_EQ(after(2000, *late), Changes{Arrival});
}

TEST_F(DeviceWatcherTest, MonitorEventsLookAtOnce)
{
    auto events = std::make_unique<TestEvents>();
    TestEvents* monitor = events.get();
    auto w = watcher(std::move(events));
    ASSERT_GE(w->fd(), 0);
    EXPECT_FALSE(readable(w->fd()));
    // An event makes the host's descriptor readable and is looked into without waiting for the period; drained.
    present = Ids{3};
    monitor->send();
    EXPECT_TRUE(readable(w->fd()));
    EXPECT_EQ(w->processPendingEvents(), Changes{Arrival});
    EXPECT_FALSE(readable(w->fd()));
    // Events that change nothing of this listing (another tty, a driver binding) raise nothing.
    monitor->send();
    monitor->send();
    EXPECT_EQ(w->processPendingEvents(), Changes{});
    EXPECT_EQ(scans, 3);
    auto timed = watcher(nullptr, true); // a timer in the watched descriptor: no period
    EXPECT_EQ(std::pair(timed->fd() >= 0, timed->pollIntervalMs()), std::pair(true, -1));
    EXPECT_EQ(timed->processPendingEvents(), Changes{});
}

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
        EXPECT_EQ(std::pair(::cfgetospeed(&t), t.c_cc[VMIN] + t.c_cc[VTIME]), std::pair(speed_t{B19200}, 0));
        item.SwitchMode(0);
        char line[64];
        pollfd p{pty.master, POLLIN, 0};
        ASSERT_EQ(::poll(&p, 1, 1000), 1);
        EXPECT_EQ(std::string(line, std::max<ssize_t>(::read(pty.master, line, sizeof line), 0)), "AT+Mode=8\r\n");
    }
    EXPECT_NE(pty.settings().c_oflag & OPOST, 0u);
    EXPECT_EQ(log.texts, (Texts{"Open Phone", "Phone Write Data", "Phone Send Command", "Phone Switch",
                                "Phone Close"}));
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
        const termios t = pty.settings();
        EXPECT_EQ(std::pair(t.c_cc[VMIN], t.c_cc[VTIME]), std::pair(cc_t{0}, cc_t(applied / 100)));
    }
    // A write larger than the line's buffer waits for the other side to read and goes out whole.
    ASSERT_TRUE(port->setTimeouts(PortTimeouts{0, 0, 0, 0, 10000}));
    const Bytes block(256 * 1024, 'x');
    std::size_t received = 0;
    std::thread reader([&pty, &received, total = block.size()] {
        char chunk[4096];
        pollfd p{pty.master, POLLIN, 0};
        while (received < total && ::poll(&p, 1, 5000) == 1) {
            const ssize_t n = ::read(pty.master, chunk, sizeof chunk);
            if (n <= 0)
                break;
            received += static_cast<std::size_t>(n);
        }
    });
    const auto whole = port->write(block);
    reader.join();
    EXPECT_EQ(std::pair(whole, received), std::pair(std::optional<std::size_t>(block.size()), block.size()));
    ASSERT_TRUE(port->setTimeouts(PortTimeouts{0, 0, 0, 0, 1}));
    // Nobody reads the other side: the write returns what went out within its time-out of 1 ms.
    const Bytes big(1 << 20, 'x');
    const auto written = port->write(big);
    ASSERT_TRUE(written);
    EXPECT_LT(*written, big.size());
    ASSERT_FALSE(reports.empty());
    EXPECT_NE(reports.back().find("of 1048576 bytes"), std::string::npos);
    // Closing does not wait for the stuck output either; a closed port writes nothing.
    EXPECT_TRUE(port->close() && port->close());
    EXPECT_FALSE(port->write(big) || port->baudRate());
    // The modem leaves the bus: the line hangs up.
    port = TermiosPort::open(pty.path, into);
    ASSERT_TRUE(port);
    ::close(pty.master);
    pty.master = -1;
    EXPECT_FALSE(port->baudRate() || port->write(Bytes{'A', 'T'}));
    EXPECT_TRUE(port->close());
    EXPECT_FALSE(TermiosPort::open("/nonexistent/ttyACM9", into));
    EXPECT_FALSE(TermiosPort::open("/dev/null", into)); // not a terminal: must not receive modem commands
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
    std::ofstream(dir.path / "node") << 'A';
    reports.clear();
    EXPECT_FALSE(backend->openP2K("/dev/bus/usb/001/001") || backend->openP2K("no-such-device"));
    EXPECT_FALSE(backend->openATPort("/dev/ttyACM-none"));
    EXPECT_FALSE(backend->openP2K(makeP2KPath((dir.path / "node").string(), 0)));
    ASSERT_EQ(reports.size(), 4u);
    EXPECT_NE(reports.back().find("is not a device node"), std::string::npos);
    backend.reset(); // the watchers outlive the backend that made them
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
    ASSERT_TRUE(storage.append(name, Bytes{1, 2}) && storage.append(name, Bytes{3}));
    EXPECT_EQ(readFile(dir.path / name), (Bytes{1, 2, 3}));
    std::ofstream(dir.path / "model") << " V3i\r\nx";
    EXPECT_EQ(sim::readFirstLine(storage, "model"), "V3i");
    ASSERT_TRUE(storage.create(name)); // made anew: empty
    EXPECT_EQ(storage.read(name), Bytes());
    std::filesystem::create_directories(dir.path / "a/folder");
    EXPECT_FALSE(storage.read("a/folder") || storage.create("a/folder")); // a folder is no file
    std::ofstream(dir.path / "plain") << 'A';
    EXPECT_FALSE(storage.create("plain/below") || storage.append("plain/below", Bytes{1})); // a file above
    EXPECT_EQ(readFile(dir.path / "plain"), Bytes{0x41});
}
