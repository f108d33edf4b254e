// The Linux device access end to end on a USB bus emulated by umockdev: the
// phone's uevents reach the udev monitor and the listings follow it, and the
// real vexlon-cli lists, reads, writes, restarts and switches the virtual
// phone through libudev, termios and libusb control transfers over usbfs.
#include "EmulatedBus.h"

#include "phone/linux/DeviceWatcher.h"
#include "phone/linux/LinuxBackend.h"
#include "phone/linux/UdevSource.h"
#include "phone/P2KBlocks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <sstream>

using namespace vexlon::phone;
using namespace vexlon::phone::lnx;
using namespace vexlon::test;
namespace fs = std::filesystem;

namespace {

constexpr const char* kDictionary = "a/iTAP_User_Dictionary";
constexpr const char* kCommandInterfaceDesc =
    "Motorola Test Command Interface (Motorola Phone (V3), Motorola Test Command, 22b8:4902)";

std::vector<uint8_t> readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool contains(const std::vector<uint8_t>& bytes, const std::string& text)
{
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
}

// A clock that never moves: a watcher on it looks again only when its
// monitor has had events.
struct FrozenClock final : IClock {
    uint32_t nowMs() override { return 0; }
    void sleepMs(uint32_t) override {}
};

// What the watcher reports once something has come in (a bounded wait).
std::vector<DeviceChange> nextChanges(IDeviceWatcher& watcher)
{
    for (int i = 0; i < 200; ++i) {
        pollfd pfd{watcher.fd(), POLLIN, 0};
        ::poll(&pfd, 1, 50);
        if (auto changes = watcher.processPendingEvents(); !changes.empty())
            return changes;
    }
    return {};
}

class OnEmulatedBus : public testing::Test {
protected:
    void SetUp() override
    {
        if (const std::string why = EmulatedBus::unavailableReason(); !why.empty())
            GTEST_SKIP() << why;
        bus = std::make_unique<EmulatedBus>();
        storage = std::make_shared<sim::MemoryStorage>();
        sample = readFile(VEXLON_BIN_DIR "/samples/sample.iud");
        ASSERT_FALSE(sample.empty());
        storage->put(kDictionary, sample);
        work = fs::temp_directory_path() / ("vexlon-bus-" + std::to_string(::getpid()));
        fs::create_directories(work);
    }
    void TearDown() override
    {
        if (bus) {
            for (const unsigned long request : bus->unknownIoctls())
                ADD_FAILURE() << "the emulated node does not know ioctl 0x" << std::hex << request;
        }
        bus.reset();
        std::error_code ec;
        fs::remove_all(work, ec);
    }
    ChildRun cli(std::vector<std::string> args)
    {
        // --trace adds the reports of the USB layer to what a failure shows;
        // the exchanges it also prints are left out.
        args.insert(args.begin(), {VEXLON_BIN_DIR "/vexlon-cli", "--trace", "phone"});
        ChildRun run = bus->run(args);
        std::string err;
        std::istringstream lines(run.err);
        for (std::string line; std::getline(lines, line);)
            if (line.rfind("P2K", 0) != 0)
                err += line + "\n";
        run.err = err;
        return run;
    }
    std::vector<uint8_t> onPhone()
    {
        return bus->withPhone([](sim::VirtualPhone& p) { return p.storage().read(kDictionary).value_or(std::vector<uint8_t>{}); });
    }
    // "P2K <identity> <description> <path>" as `phone list` prints the phone.
    std::string p2kLine()
    {
        const std::string node = bus->p2kNode();
        const uint32_t devnum = static_cast<uint32_t>(std::stoi(node.substr(node.size() - 3)));
        const uint32_t devInst = (1u << 24) | (1u << 16) | (devnum << 8) | 8u;
        return "P2K\t" + std::to_string(devInst) + "\t" + kCommandInterfaceDesc + "\t" + node + "#8\n";
    }

    std::unique_ptr<EmulatedBus> bus;
    std::shared_ptr<sim::MemoryStorage> storage;
    std::vector<uint8_t> sample;
    fs::path work;
};

// Arrivals and removals come through the udev monitor alone (the watchers'
// clock never moves), for the phone's class and for any USB device, and the
// listings show exactly what is attached.
TEST_F(OnEmulatedBus, UeventsReachTheMonitorAndTheListingsFollow)
{
    std::vector<std::string> reports;
    UdevSource source([&reports](const std::string& text) { reports.push_back(text); });
    FrozenClock clock;
    const auto ids = [&source](DeviceClass listing) -> Enumerator {
        return [&source, listing]() -> std::optional<std::vector<uint32_t>> {
            const auto devices = source.scan();
            if (!devices)
                return std::nullopt;
            std::vector<uint32_t> found;
            for (const auto& device : listDevices(*devices, listing))
                found.push_back(device.devInst);
            return found;
        };
    };
    const WatcherOptions monitorOnly{1u << 30, false};
    DeviceWatcher p2k(ids(DeviceClass::P2KCommand), clock, source.monitor(), monitorOnly);
    DeviceWatcher any(ids(DeviceClass::ATModem), clock, source.monitor(), monitorOnly);
    auto backend = makeLinuxBackend();
    EXPECT_TRUE(backend->enumerateDevices(DeviceClass::P2KCommand).empty());

    bus->plugInPhone(sim::PhoneMode::P2K, storage);
    EXPECT_EQ(nextChanges(p2k), std::vector{DeviceChange::Arrival});
    EXPECT_EQ(nextChanges(any), std::vector{DeviceChange::Arrival});
    const auto phones = backend->enumerateDevices(DeviceClass::P2KCommand);
    ASSERT_EQ(phones.size(), 1u);
    EXPECT_EQ(phones[0].DeviceDesc, kCommandInterfaceDesc);
    EXPECT_EQ(phones[0].DevicePath, bus->p2kNode() + "#8");

    bus->plugInOtherDevice();
    EXPECT_EQ(nextChanges(any), std::vector{DeviceChange::Arrival});
    bus->unplugPhone();
    EXPECT_EQ(nextChanges(p2k), std::vector{DeviceChange::Removal});
    EXPECT_EQ(nextChanges(any), std::vector{DeviceChange::Removal});
    EXPECT_TRUE(backend->enumerateDevices(DeviceClass::P2KCommand).empty());
    const auto devices = backend->enumerateDevices(DeviceClass::ATModem);
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].DeviceDesc, "USB Device (USB Keyboard, 046d:c31c)");
    EXPECT_TRUE(reports.empty()) << reports.front();
}

// vexlon-cli as a user runs it: list, info, read, write and restart reach
// the phone through libusb on its usbfs node; the restarted phone comes back
// under a new node and is listed there.
TEST_F(OnEmulatedBus, CliListsReadsWritesAndRestartsThePhone)
{
    bus->plugInPhone(sim::PhoneMode::P2K, storage);
    const ChildRun list = cli({"list"});
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out, p2kLine());

    const ChildRun info = cli({"info"});
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(info.out, "Phone Model-> MOTORAZR V3\nPhone IMEI: 35000012345678\nPhone Flex: R374_G_0E.30.49R\n"
                        "iTAP Users Dictionary file size-> " + std::to_string(sample.size()) + " bytes\n");

    const fs::path copy = work / "copy.iud";
    const ChildRun read = cli({"read", copy.string()});
    EXPECT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(readFile(copy), sample);

    const fs::path words = work / "words.txt";
    std::ofstream(words) << "quokka wombat\r\n";
    const ChildRun write = cli({"write", words.string()});
    EXPECT_EQ(write.status, 0) << write.err;
    const std::vector<uint8_t> written = onPhone();
    EXPECT_TRUE(contains(written, "quokka") && contains(written, "wombat"));
    EXPECT_FALSE(contains(written, "weekend")); // a word of the sample
    EXPECT_EQ(written.size(), sample.size());   // the dictionary's fixed size

    const std::string before = bus->p2kNode();
    const ChildRun restart = cli({"restart"});
    EXPECT_EQ(restart.status, 0) << restart.err;
    EXPECT_EQ(bus->withPhone([](sim::VirtualPhone& p) { return p.restarts(); }), 1);
    EXPECT_NE(bus->p2kNode(), before);
    const ChildRun again = cli({"read", copy.string()});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(readFile(copy), written);
    EXPECT_EQ(cli({"list"}).out, p2kLine());
}

// A phone that leaves the bus in the middle of a read: the read fails, says
// so, and leaves the earlier copy alone; its node is gone with it.
TEST_F(OnEmulatedBus, CliReadOfAPhoneThatLeavesFailsAndKeepsTheOldCopy)
{
    storage->put(kDictionary, std::vector<uint8_t>(20000, 0x41));
    bus->plugInPhone(sim::PhoneMode::P2K, storage);
    bus->withPhone([](sim::VirtualPhone& p) {
        p.injectFault(sim::Fault(sim::FaultKind::DropAtFetch).forCommand(p2k::kCmdFileSystem, p2k::kFsRead).after(2));
        return 0;
    });
    const fs::path copy = work / "copy.iud";
    std::ofstream(copy) << "earlier";
    const ChildRun read = cli({"read", copy.string()});
    EXPECT_NE(read.status, 0);
    EXPECT_NE(read.err.find("was not written"), std::string::npos) << read.err;
    EXPECT_EQ(readFile(copy), std::vector<uint8_t>({'e', 'a', 'r', 'l', 'i', 'e', 'r'}));
    EXPECT_TRUE(bus->p2kNode().empty());
    const ChildRun list = cli({"list"});
    EXPECT_NE(list.status, 0);
}

// A phone attached in AT mode is listed by its modem tty; `phone switch`
// writes the switch line through termios, the phone comes back in P2K mode,
// and is listed so.
TEST_F(OnEmulatedBus, CliSwitchesAPhoneFromATModeToP2KMode)
{
    bus->plugInPhone(sim::PhoneMode::AT, storage);
    const ChildRun before = cli({"list"});
    EXPECT_EQ(before.status, 0) << before.err;
    EXPECT_EQ(before.out, "AT\t" + std::to_string((2u << 24) | (1u << 16) | (5u << 8)) + "\tMotorola USB Modem (Motorola Phone (V3), 22b8:4901)\t/dev/ttyACM0\n");
    const ChildRun nothing = cli({"read", (work / "copy.iud").string()});
    EXPECT_NE(nothing.status, 0);
    EXPECT_NE(nothing.err.find("run 'vexlon-cli phone switch' first"), std::string::npos) << nothing.err;

    const ChildRun sw = cli({"switch"});
    EXPECT_EQ(sw.status, 0) << sw.err;
    EXPECT_EQ(sw.out, "Sent AT+Mode=8 to Motorola USB Modem (Motorola Phone (V3), 22b8:4901)\n");
    const auto writes = bus->withPhone([](sim::VirtualPhone& p) { return p.atWrites(); });
    std::string line;
    for (const auto& w : writes)
        line.append(w.begin(), w.end());
    EXPECT_EQ(line, "AT+Mode=8\r\n");
    const ChildRun after = cli({"list"});
    EXPECT_EQ(after.status, 0) << after.err;
    EXPECT_EQ(after.out, p2kLine());
}

// The shipped recording (recordings/, made by record-emulated-session from
// a read like the one above) replays without a phone: the recorded devices
// are listed, and `vexlon-cli phone read` asks for exactly the recorded
// transfers and gets the recorded dictionary.
TEST_F(OnEmulatedBus, RecordedReadReplays)
{
    bus->replay(VEXLON_RECORDINGS_DIR "/phone-read.umockdev", VEXLON_RECORDINGS_DIR "/phone-read.ioctl");
    const ChildRun list = cli({"list"});
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_NE(list.out.find(kCommandInterfaceDesc), std::string::npos) << list.out;
    const fs::path copy = work / "copy.iud";
    const ChildRun read = cli({"read", copy.string()});
    EXPECT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(readFile(copy), readFile(VEXLON_RECORDINGS_DIR "/phone-read.iud"));
    EXPECT_EQ(bus->replayMismatches(), std::vector<std::string>{});
}

} // namespace
