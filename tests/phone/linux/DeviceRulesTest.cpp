// The Linux device rules without hardware: what is listed from sysfs attribute sets, the requests as USB control
// transfers over a recording pipe, and the device watcher on a fake clock and its monitor events.
#include "phone/linux/ControlTransfer.h"
#include "phone/linux/DeviceWatcher.h"
#include "phone/linux/UsbFacts.h"

#include "phone/PhoneTestSupport.h"

#include <algorithm>
#include <set>

#include <sys/eventfd.h>
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

// udev names no node for devices on bus 1: theirs is made from their numbers.
UsbDeviceAttributes device(int vendor, int product, int bus, int devnum, std::vector<UsbInterfaceAttributes> interfaces,
                           std::string productName = {})
{
    const int count = static_cast<int>(interfaces.size());
    return {{}, bus == 1 ? "" : usbfsNode(bus, devnum), false, bus, devnum, vendor, product, count, "Motorola Inc.",
            std::move(productName), std::move(interfaces)};
}

UsbDeviceAttributes p2kPhone(int bus = 1, int devnum = 7)
{
    return device(0x22b8, 0x4902, bus, devnum, {iface(0, 0xFF), iface(1, 0xFF)}, "Motorola Phone (V3)");
}

// In AT mode: a CDC ACM modem (control and data interface) and a vendor-specific interface.
UsbDeviceAttributes modemPhone(std::vector<std::string> ttys = {"/dev/ttyACM0"})
{
    return device(0x22b8, 0x4901, 1, 6,
                  {iface(0, kClassComm, kSubClassAcm, "cdc_acm", {}, std::move(ttys)),
                   iface(1, kClassCdcData, 0, "cdc_acm"), iface(2, 0xFF)},
                  "Motorola Phone (V3)");
}

// Request blocks written out by hand: a file close (sequence 0x0102, 4 data bytes) and a restart (no data).
const InputBlock kClose{{0x41, 0x02, 0, 8, 12}, {0x01, 0x02, 0x00, 0x4A, 0x00, 0x04, 0, 0, 0, 0, 0, 4, 0, 0}};
const InputBlock kRestart{{0x41, 0x02, 0, 8, 8}, {0x00, 0x01, 0x00, 0x22, 0, 0, 0, 0, 0, 0}};
const InputBlock kStatus{{0xC1, 0x00, 0, 8, 8}, {0}};
InputBlock answerFetch(uint16_t count, uint16_t length) { return {{0xC1, 0x01, count, 8, length}, {0}}; }

// Records the time-out of every transfer; answers what is read with the bytes it is given, or fails as told.
class FakePipe final : public ControlPipe {
public:
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

using Changes = std::vector<DeviceChange>;
constexpr auto Arrival = DeviceChange::Arrival;
constexpr auto Removal = DeviceChange::Removal;

struct TestEvents final : EventSource {
    int events = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    ~TestEvents() override { ::close(events); }
    int fd() const override { return events; }
    std::size_t drain() override { return ::eventfd_read(events, &count) == 0 ? count : 0; }
    eventfd_t count = 0;
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
    std::optional<std::vector<uint32_t>> present = std::vector<uint32_t>{}; // nullopt: sysfs not readable
    int scans = 0;
    sim::VirtualClock clock{1000};
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
        // The named interface wins over a lower number.
        {"named interface",
         device(0x22b8, 0x4902, 1, 7, {iface(0, 0xFF, 0, {}, "Motorola MCP"), iface(8, 0xFF, 0, {}, "Test Command")}),
         P2K, "Motorola Test Command Interface (Motorola Inc., Test Command, 22b8:4902)", "/dev/bus/usb/001/007#8"},
        // Without names the lowest-numbered vendor-specific interface, in whatever order sysfs lists them.
        {"lowest interface", device(0x22b8, 0x4902, 1, 7, {iface(5, 0xFF), iface(3, 0x08), iface(4, 0xFF)}), P2K,
         "Motorola Test Command Interface (Motorola Inc., 22b8:4902)", "/dev/bus/usb/001/007#4"},
        {"no vendor interface", device(0x22b8, 0x1234, 1, 7, {iface(0, 0x08)}), P2K, "", ""},
        // Device strings are made plain.
        {"strings made plain",
         with(p2kPhone(), [](auto& d) { d.product = "  Moto\x01rola\tPh\xC3\xB6ne\x7F\x80V3\n", d.manufacturer = ""; }),
         P2K, "Motorola Test Command Interface (Moto rola Ph??ne ?V3, 22b8:4902)", "/dev/bus/usb/001/007#0"},
        // Half set up (interfaces still coming, no tty or cdc_acm yet): listed once complete, not first as another.
        {"interfaces missing", with(p2kPhone(), [](auto& d) { d.interfaceCount = 3; }), USB, "", ""},
        {"no tty yet", modemPhone({}), USB, "", ""},
        // Bound to another driver, no tty will come: a plain device.
        {"other driver",
         with(modemPhone({}), [](auto& d) { d.interfaces[0].driver = d.interfaces[1].driver = "cdc_ether"; }), USB,
         "USB Device (Motorola Phone (V3), 22b8:4901)", "/dev/bus/usb/001/006"},
        // Root hubs are not devices a user plugs in.
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
    for (const auto& [text, hex, decimal] : numbers) {
        EXPECT_EQ(parseHexAttribute(text), hex) << text;
        EXPECT_EQ(parseDecimalAttribute(text), decimal) << text;
    }
}

TEST(ControlTransferTest, EachRequestIsOneVendorTransferOnTheInterface)
{
    // Request, block and output capacity; the transfer: type, request, value, index, length, in, data.
    const std::tuple<RequestKind, InputBlock, std::size_t, ControlTransfer> cases[] = {
        // Out: the setup fields unchanged, the header and command data, not the two bytes after them.
        {RequestKind::Command, kClose, 5,
         {0x41, 0x02, 0, 8, 12, false, {0x01, 0x02, 0x00, 0x4A, 0x00, 0x04, 0, 0, 0, 0, 0, 4}}},
        {RequestKind::Status, kStatus, 4101, {0xC1, 0x00, 0, 8, 8, true, {}}},
        // The answer count travels in wValue.
        {RequestKind::Fetch, answerFetch(2, 2 * 2 + 100 + 4), 4101, {0xC1, 0x01, 2, 8, 108, true, {}}},
        // A read never exceeds the output area, whatever fetch length the phone's answer size made.
        {RequestKind::Fetch, answerFetch(1, 0xFFFF), 4101, {0xC1, 0x01, 1, 8, 4101, true, {}}},
        {RequestKind::Status, kStatus, 4, {0xC1, 0x00, 0, 8, 4, true, {}}},
    };
    for (const auto& [kind, block, capacity, expected] : cases)
        EXPECT_EQ(planTransfer(kind, block, capacity).transfer, expected) << expected.length;

    // Standard and class requests would reach the device itself; a wrong direction; a length beyond the data.
    InputBlock overlong = kRestart;
    overlong.setup.length = 11;
    const std::tuple<RequestKind, InputBlock, std::size_t> refused[] = {
        {RequestKind::Status, {{0x80, 0x06, 0x0100, 0, 18}, {0}}, 4101},
        {RequestKind::Command, {{0x00, 0x09, 1, 0, 0}, {}}, 5},
        {RequestKind::Status, {{0xA1, 0x00, 0, 8, 8}, {0}}, 4101},
        {RequestKind::Command, kStatus, 5},
        {RequestKind::Fetch, kRestart, 4101},
        {RequestKind::Command, overlong, 5}};
    for (const auto& [kind, block, capacity] : refused)
        EXPECT_FALSE(planTransfer(kind, block, capacity).transfer) << int(block.setup.requestType);

    auto owned = std::make_unique<FakePipe>();
    FakePipe& pipe = *owned;
    std::vector<std::string> reports;
    P2KDevice device(std::move(owned), [&reports](const std::string& t) { reports.push_back(t); });
    // Data read back is the output block from its first byte, never more than the area.
    pipe.reply = {0, 0, 0, 0, 0, 2, 0x01, 0x23};
    EXPECT_EQ(device.statusQuery(kStatus, 4101, 5000).output, pipe.reply);
    EXPECT_EQ(pipe.timeouts.back(), 5000u);
    pipe.reply.assign(5000, 0x55);
    const RequestResult fetched = device.answerFetch(answerFetch(1, 0xFFFF), 4101, 5000);
    EXPECT_EQ(fetched.outcome, RequestOutcome::Completed);
    EXPECT_EQ(fetched.output, Bytes(4101, 0x55));
    pipe.reply.resize(24); // a phone that sends less than asked: only what came
    EXPECT_EQ(device.answerFetch(answerFetch(1, 0xFFFF), 4101, 5000).output, Bytes(24, 0x55));
    const RequestResult sent = device.sendCommand(kRestart, 5, 5000);
    EXPECT_EQ(sent.outcome, RequestOutcome::Completed);
    EXPECT_TRUE(sent.output.empty());
    EXPECT_TRUE(reports.empty());

    pipe.status = PipeResult::Status::TimedOut;
    EXPECT_EQ(device.sendCommand(kRestart, 5, 5000).outcome, RequestOutcome::TimedOut);
    // A phone that has gone fails every poll of the transport's loop: told once, and again after a success.
    pipe.status = PipeResult::Status::Failed;
    pipe.error = "LIBUSB_ERROR_NO_DEVICE";
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(device.statusQuery(kStatus, 4101, 5000).outcome, RequestOutcome::Failed);
    EXPECT_EQ(reports,
              (std::vector<std::string>{"command packet timed out", "status query failed: LIBUSB_ERROR_NO_DEVICE"}));
    pipe.status = PipeResult::Status::Done;
    device.statusQuery(kStatus, 4101, 5000);
    pipe.status = PipeResult::Status::Failed;
    device.statusQuery(kStatus, 4101, 5000);
    EXPECT_EQ(reports.size(), 3u);

    // A refused block reaches no device.
    const std::size_t calls = pipe.timeouts.size();
    EXPECT_EQ(device.sendCommand(kStatus, 5, 5000).outcome, RequestOutcome::Failed);
    EXPECT_EQ(pipe.timeouts.size(), calls);
    EXPECT_NE(reports.back().find("refused"), std::string::npos);
    // Time-out 0 is the shortest wait, never "for ever" (0 to libusb).
    pipe.status = PipeResult::Status::Done;
    device.statusQuery(kStatus, 4101, 0);
    EXPECT_EQ(pipe.timeouts.back(), 1u);
    // A closed device refuses requests; closing twice is harmless.
    EXPECT_TRUE(device.close());
    EXPECT_TRUE(device.close());
    EXPECT_EQ(device.statusQuery(kStatus, 4101, 5000).outcome, RequestOutcome::Failed);
}

TEST_F(DeviceWatcherTest, PollingFallbackFollowsTheClock)
{
    PresenceTracker tracker({1, 2});
    EXPECT_EQ(tracker.update({2, 1}), Changes{});
    EXPECT_EQ(tracker.update({1, 2, 3}), Changes{Arrival});
    EXPECT_EQ(tracker.update({1, 3}), Changes{Removal});
    // One gone and one come: removal first, so the host closes the old phone before it takes up the new one.
    EXPECT_EQ(tracker.update({1, 4}), (Changes{Removal, Arrival}));
    EXPECT_EQ(tracker.update({}), Changes{Removal}); // two gone at once
    EXPECT_EQ(tracker.update({}), Changes{});

    present = std::vector<uint32_t>{10};
    // The tick counter wraps during the wait for the arrival below.
    clock.set(0xFFFFFFFFu - 4000 + 1);
    auto w = watcher();
    EXPECT_EQ(scans, 1); // the baseline
    EXPECT_EQ(w->fd(), -1);
    EXPECT_EQ(w->pollIntervalMs(), 2000);
    EXPECT_EQ(after(2000, *w), Changes{}); // what was there at the start is no news
    EXPECT_EQ(scans, 2);
    // Before two seconds are up nothing is enumerated, so a change waits.
    present = std::vector<uint32_t>{10, 11};
    EXPECT_EQ(after(1999, *w), Changes{});
    EXPECT_EQ(scans, 2);
    EXPECT_EQ(after(1, *w), Changes{Arrival});
    EXPECT_EQ(clock.nowMs(), 0u);
    EXPECT_EQ(after(2000, *w), Changes{}); // reported once
    present = std::vector<uint32_t>{11};
    EXPECT_EQ(after(2500, *w), Changes{Removal});
    // A failed enumeration is no removal, nor is the next good one news.
    present = std::nullopt;
    EXPECT_EQ(after(2000, *w), Changes{});
    present = std::vector<uint32_t>{11};
    EXPECT_EQ(after(2000, *w), Changes{});

    // A watcher whose first look failed reports what a later one finds.
    present = std::nullopt;
    auto late = watcher();
    present = std::vector<uint32_t>{7};
    EXPECT_EQ(after(2000, *late), Changes{Arrival});
}

TEST_F(DeviceWatcherTest, MonitorEventsLookAtOnce)
{
    auto events = std::make_unique<TestEvents>();
    TestEvents* monitor = events.get();
    auto w = watcher(std::move(events));
    ASSERT_GE(w->fd(), 0);
    EXPECT_FALSE(readable(w->fd()));
    // An event makes the host's descriptor readable and is looked into without waiting for the period.
    present = std::vector<uint32_t>{3};
    monitor->send();
    EXPECT_TRUE(readable(w->fd()));
    EXPECT_EQ(w->processPendingEvents(), Changes{Arrival});
    EXPECT_FALSE(readable(w->fd())); // drained
    // Events that change nothing of this listing (another tty, a driver binding) raise nothing.
    monitor->send();
    monitor->send();
    EXPECT_EQ(w->processPendingEvents(), Changes{});
    EXPECT_EQ(scans, 3);

    // With a timer in the watched descriptor the host needs no period.
    auto timed = watcher(nullptr, true);
    EXPECT_GE(timed->fd(), 0);
    EXPECT_EQ(timed->pollIntervalMs(), -1);
    EXPECT_EQ(timed->processPendingEvents(), Changes{});
}
