#include "phone/MotoATMode.h"
#include "phone/MotoP2KMode.h"
#include "phone/linux/LinuxBackend.h"
#include "phone/linux/UsbFacts.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <unistd.h>

using namespace vexlon::phone;
using namespace vexlon::phone::lnx;

// The backend comes up on whatever machine runs the tests: in a container
// without udevd, USB or sysfs entries for USB, on a desktop with devices.
// It must answer at once, never crash, and tell what it could not do.
TEST(LinuxBackendTest, StartsWhateverTheMachineOffers)
{
    std::vector<std::string> reports;
    auto backend = makeLinuxBackend([&reports](const std::string& text) { reports.push_back(text); });
    ASSERT_TRUE(backend);

    const TUSBDevises p2k = backend->enumerateDevices(DeviceClass::P2KCommand);
    const TUSBDevises usb = backend->enumerateDevices(DeviceClass::ATModem);
    if (!std::filesystem::exists("/sys/bus/usb/devices")) {
        EXPECT_TRUE(p2k.empty());
        EXPECT_TRUE(usb.empty());
    }
    for (const auto& record : p2k) {
        EXPECT_NE(record.DeviceDesc.find("Motorola Test Command Interface"), std::string::npos);
        EXPECT_TRUE(parseP2KPath(record.DevicePath)) << record.DevicePath;
    }
    for (const auto& record : usb)
        EXPECT_NE(record.DevInst, 0u);

    for (const auto deviceClass : {DeviceClass::P2KCommand, DeviceClass::ATModem}) {
        auto watcher = backend->watch(deviceClass);
        ASSERT_TRUE(watcher);
        // Something the host can wait on, or a period to call at.
        EXPECT_TRUE(watcher->fd() >= 0 || watcher->pollIntervalMs() > 0);
        // Returns at once; no device changed in between.
        EXPECT_TRUE(watcher->processPendingEvents().empty());
    }

    // Opening what is not there fails with a report, not a crash.
    reports.clear();
    EXPECT_FALSE(backend->openP2K("/dev/bus/usb/001/001"));
    EXPECT_FALSE(backend->openP2K("no-such-device"));
    EXPECT_FALSE(backend->openATPort("/dev/ttyACM-none"));
    EXPECT_EQ(reports.size(), 3u);
}

TEST(LinuxBackendTest, WatchersOutliveTheBackend)
{
    auto backend = makeLinuxBackend();
    auto watcher = backend->watch(DeviceClass::P2KCommand);
    backend.reset();
    ASSERT_TRUE(watcher);
    EXPECT_TRUE(watcher->processPendingEvents().empty());
}

// The components themselves on this backend: they come up, with no phone
// here, and handle "no notifications yet" without blocking.
TEST(LinuxBackendTest, ComponentsStartOnIt)
{
    auto backend = makeLinuxBackend();
    TMotoATMode at(*backend);
    TMotoP2KMode p2k(*backend);
    if (!std::filesystem::exists("/sys/bus/usb/devices")) {
        EXPECT_EQ(at.DeviseList().Count(), 0);
        EXPECT_EQ(p2k.DeviseList().Count(), 0);
    }
    EXPECT_TRUE(at.Notifying());
    EXPECT_TRUE(p2k.Notifying());
    EXPECT_EQ(at.ProcessDeviceChanges(), 0);
    EXPECT_EQ(p2k.ProcessDeviceChanges(), 0);
}

// An AT-mode item of the component, on this backend's serial port, against a
// pseudo-terminal standing in for the phone's modem: the mode switch goes out
// as one line of 11 bytes.
TEST(LinuxBackendTest, ModeSwitchReachesTheModem)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    TUSBDevise info;
    info.DevInst = 0x02010600;
    info.DevicePath = ::ptsname(master);
    info.DeviceDesc = "Motorola USB Modem (Motorola Phone, 22b8:4901)";

    auto backend = makeLinuxBackend();
    std::vector<std::string> reports;
    {
        TMotoATModemItem item(*backend, info);
        item.SetOnDebugEvent([&reports](TMotoATModemItem*, const std::string& text, TDebugType, bool) {
            reports.push_back(text);
        });
        ASSERT_TRUE(item.OpenPhone());
        EXPECT_TRUE(item.IsOpen());
        item.SwitchMode(0);

        pollfd p{master, POLLIN, 0};
        ASSERT_EQ(::poll(&p, 1, 1000), 1);
        char buffer[64];
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        EXPECT_EQ(std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0u), "AT+Mode=8\r\n");

        item.SetTimeOut(1000);
        EXPECT_EQ(item.TimeOut(), 1000u);
    }
    ::close(master);
    EXPECT_NE(std::find(reports.begin(), reports.end(), "Phone Switch"), reports.end());
    EXPECT_NE(std::find(reports.begin(), reports.end(), "Phone Set TimeOut"), reports.end());
}
