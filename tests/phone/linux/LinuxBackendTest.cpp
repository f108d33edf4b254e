// The backend comes up on whatever machine runs the tests: in a container
// without udevd, USB or sysfs entries for USB, on a desktop with devices.
// It must answer at once, never crash, and tell what it could not do.
#include "phone/MotoATMode.h"
#include "phone/linux/LinuxBackend.h"
#include "phone/linux/UsbFacts.h"

#include "phone/PhoneTestSupport.h"

using namespace vexlon::phone;
using namespace vexlon::phone::lnx;

TEST(LinuxBackendTest, StartsWhateverTheMachineOffers)
{
    std::vector<std::string> reports;
    auto backend = makeLinuxBackend([&reports](const std::string& text) { reports.push_back(text); });
    ASSERT_TRUE(backend);
    const bool noUsb = !std::filesystem::exists("/sys/bus/usb/devices");
    const TUSBDevises p2k = backend->enumerateDevices(DeviceClass::P2KCommand);
    const TUSBDevises usb = backend->enumerateDevices(DeviceClass::ATModem);
    EXPECT_TRUE(!noUsb || (p2k.empty() && usb.empty()));
    for (const auto& record : p2k) {
        EXPECT_NE(record.DeviceDesc.find("Motorola Test Command Interface"), std::string::npos);
        EXPECT_TRUE(parseP2KPath(record.DevicePath)) << record.DevicePath;
    }
    for (const auto& record : usb)
        EXPECT_NE(record.DevInst, 0u);

    // The components come up on it and handle "no notifications yet"
    // without blocking.
    {
        TMotoATMode at(*backend);
        TMotoP2KMode p2kMode(*backend);
        EXPECT_TRUE(!noUsb || (at.DeviseList().Count() == 0 && p2kMode.DeviseList().Count() == 0));
        EXPECT_TRUE(at.Notifying());
        EXPECT_TRUE(p2kMode.Notifying());
        EXPECT_EQ(at.ProcessDeviceChanges(), 0);
        EXPECT_EQ(p2kMode.ProcessDeviceChanges(), 0);
    }
    std::vector<std::unique_ptr<IDeviceWatcher>> watchers;
    for (const auto deviceClass : {DeviceClass::P2KCommand, DeviceClass::ATModem}) {
        const auto& watcher = watchers.emplace_back(backend->watch(deviceClass));
        ASSERT_TRUE(watcher);
        // Something the host can wait on, or a period to call at.
        EXPECT_TRUE(watcher->fd() >= 0 || watcher->pollIntervalMs() > 0);
    }

    // Opening what is not there, or what is not a device, fails with a
    // report, not a crash.
    vexlon::phone::test::TempDir dir;
    vexlon::phone::test::writeFile(dir / "node", {0x41});
    reports.clear();
    EXPECT_FALSE(backend->openP2K("/dev/bus/usb/001/001"));
    EXPECT_FALSE(backend->openP2K("no-such-device"));
    EXPECT_FALSE(backend->openATPort("/dev/ttyACM-none"));
    EXPECT_FALSE(backend->openP2K(makeP2KPath((dir / "node").string(), 0)));
    ASSERT_EQ(reports.size(), 4u);
    EXPECT_NE(reports.back().find("is not a device node"), std::string::npos);

    // The watchers outlive the backend that made them.
    backend.reset();
    for (const auto& watcher : watchers)
        EXPECT_TRUE(watcher->processPendingEvents().empty());
}
