// What the backend makes of sysfs attribute sets: which devices are listed,
// with which description, path and identity.
#include "phone/MotoATMode.h"
#include "phone/MotoP2KMode.h"
#include "phone/USBCtrls.h"
#include "phone/linux/UsbFacts.h"

#include <gtest/gtest.h>

#include <set>

using namespace vexlon::phone;
using namespace vexlon::phone::lnx;

namespace {

UsbInterfaceAttributes iface(int number, int cls, int subClass = 0, std::string driver = {}, std::string name = {},
                             std::vector<std::string> ttys = {})
{
    return {"/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1." + std::to_string(number),
            number, cls, subClass, std::move(driver), std::move(name), std::move(ttys)};
}

UsbDeviceAttributes device(int vendor, int product, int bus, int devnum, std::vector<UsbInterfaceAttributes> interfaces,
                           std::string productName = {})
{
    const int count = static_cast<int>(interfaces.size());
    return {"/sys/devices/pci0000:00/0000:00:14.0/usb" + std::to_string(bus) + "/" + std::to_string(bus) + "-2",
            usbfsNode(bus, devnum), false, bus, devnum, vendor, product, count, "Motorola Inc.",
            std::move(productName), std::move(interfaces)};
}

// A phone in P2K mode: only vendor-specific interfaces.
UsbDeviceAttributes p2kPhone(int bus = 1, int devnum = 7)
{
    return device(0x22b8, 0x4902, bus, devnum, {iface(0, 0xFF), iface(1, 0xFF)}, "Motorola Phone (V3)");
}

// The same phone in AT mode: a CDC ACM modem (control and data interface)
// and a vendor-specific interface.
UsbDeviceAttributes modemPhone(std::vector<std::string> ttys = {"/dev/ttyACM0"})
{
    return device(0x22b8, 0x4901, 1, 6,
                  {iface(0, kClassComm, kSubClassAcm, "cdc_acm", {}, std::move(ttys)),
                   iface(1, kClassCdcData, 0, "cdc_acm"), iface(2, 0xFF)},
                  "Motorola Phone (V3)");
}

template <class Change>
UsbDeviceAttributes with(UsbDeviceAttributes d, Change change)
{
    change(d);
    return d;
}

} // namespace

TEST(UsbFactsTest, WhatIsListedAndHowItIsDescribed)
{
    const auto P2K = DeviceClass::P2KCommand;
    const auto USB = DeviceClass::ATModem;
    struct Case {
        const char* what;
        UsbDeviceAttributes device;
        DeviceClass deviceClass;
        std::string description; // empty: not listed
        std::string path;        // empty: not checked
    };
    const Case cases[] = {
        {"p2k phone", p2kPhone(), P2K, "Motorola Test Command Interface (Motorola Phone (V3), 22b8:4902)",
         "/dev/bus/usb/001/007#0"},
        {"modem phone", modemPhone(), USB, "Motorola USB Modem (Motorola Phone (V3), 22b8:4901)", "/dev/ttyACM0"},
        {"modem phone has no command interface", modemPhone(), P2K, "", ""},
        {"p2k phone among all USB devices", p2kPhone(), USB, "USB Device (Motorola Phone (V3), 22b8:4902)", ""},
        {"adapter of another maker",
         device(0x0403, 0x6001, 1, 3, {iface(0, 0xFF, 0xFF, "ftdi_sio", {}, {"/dev/ttyUSB0"})}, "FT232R USB UART"),
         USB, "USB Device (FT232R USB UART, 0403:6001)", ""},
        {"adapter is no phone",
         device(0x0403, 0x6001, 1, 3, {iface(0, 0xFF, 0xFF, "ftdi_sio", {}, {"/dev/ttyUSB0"})}), P2K, "", ""},
        {"modem of another maker", with(modemPhone(), [](auto& d) { d.vendorId = 0x1546; d.product = "u-blox GNSS"; }),
         USB, "USB Modem (u-blox GNSS, 1546:4901)", ""},
        // The named interface wins over a lower number.
        {"named interface",
         device(0x22b8, 0x4902, 1, 7,
                {iface(0, 0xFF, 0, {}, "Motorola MCP"), iface(8, 0xFF, 0, {}, "Motorola TEST COMMAND")}),
         P2K, "Motorola Test Command Interface (Motorola Inc., Motorola TEST COMMAND, 22b8:4902)",
         "/dev/bus/usb/001/007#8"},
        // Without names the lowest-numbered vendor-specific interface, in
        // whatever order sysfs lists them; other classes are passed over.
        {"lowest interface", device(0x22b8, 0x4902, 1, 7, {iface(5, 0xFF), iface(3, 0x08), iface(4, 0xFF)}), P2K,
         "Motorola Test Command Interface (Motorola Inc., 22b8:4902)", "/dev/bus/usb/001/007#4"},
        {"no vendor interface", device(0x22b8, 0x1234, 1, 7, {iface(0, 0x08)}), P2K, "", ""},
        // Device strings are made plain; without strings the ids alone.
        {"strings made plain", with(p2kPhone(), [](auto& d) { d.product = "  Moto\x01rola\tPh\xC3\xB6ne\x7F\x80V3\n"; d.manufacturer = ""; }),
         P2K, "Motorola Test Command Interface (Moto rola Ph??ne ?V3, 22b8:4902)", ""},
        {"no strings", with(p2kPhone(), [](auto& d) { d.product = d.manufacturer = ""; }), P2K,
         "Motorola Test Command Interface (22b8:4902)", ""},
        // Half set up (interfaces still being added, no modem port or cdc_acm
        // yet): listed once complete, not first as a plain device, then a modem.
        {"interfaces missing", with(p2kPhone(), [](auto& d) { d.interfaceCount = 3; }), P2K, "", ""},
        {"interfaces missing", with(p2kPhone(), [](auto& d) { d.interfaceCount = 3; }), USB, "", ""},
        {"no tty yet", modemPhone({}), USB, "", ""},
        {"no driver yet", with(modemPhone({}), [](auto& d) { d.interfaces[0].driver.clear(); }), USB, "", ""},
        // Bound to another driver, no tty will come: a plain device.
        {"other driver",
         with(modemPhone({}), [](auto& d) { d.interfaces[0].driver = d.interfaces[1].driver = "cdc_ether"; }), USB,
         "USB Device (Motorola Phone (V3), 22b8:4901)", ""},
        // Root hubs are not devices a user plugs in; numbers the kernel would
        // not give cannot form an identity.
        {"root hub", with(device(0x1d6b, 0x0002, 1, 1, {iface(0, 0x09)}), [](auto& d) { d.rootHub = true; }), USB, "",
         ""},
        {"bad bus number", p2kPhone(-1, 7), P2K, "", ""},
    };
    for (const auto& c : cases) {
        const auto entries = describeDevice(c.device, c.deviceClass);
        if (c.description.empty()) {
            EXPECT_TRUE(entries.empty()) << c.what;
            continue;
        }
        ASSERT_EQ(entries.size(), 1u) << c.what;
        EXPECT_EQ(entries[0].description, c.description) << c.what;
        EXPECT_EQ(c.path.empty() ? c.path : entries[0].devicePath, c.path) << c.what;
        // Only phones pass the components' own filters, each its own.
        const bool phone = c.description.rfind("Motorola", 0) == 0;
        EXPECT_EQ(DescriptionMatches(entries[0].description, TMotoP2KMode::kDescriptionFilter),
                  phone && c.deviceClass == P2K) << c.what;
        EXPECT_EQ(DescriptionMatches(entries[0].description, TMotoATMode::kDescriptionFilter),
                  phone && c.deviceClass == USB) << c.what;
        const bool modem = c.description.find("USB Modem") != std::string::npos;
        EXPECT_EQ(entries[0].kind, c.deviceClass == P2K ? DeviceKind::P2K : modem ? DeviceKind::AT : DeviceKind::Other)
            << c.what;
        EXPECT_EQ(toRecord(entries[0]).DeviceDesc, c.description);
    }
}

TEST(UsbFactsTest, IdentityIsStableAndDistinct)
{
    const auto first = listDevices({p2kPhone(1, 7), p2kPhone(2, 7), p2kPhone(1, 9)}, DeviceClass::P2KCommand);
    const auto again = listDevices({p2kPhone(1, 9), p2kPhone(1, 7), p2kPhone(2, 7)}, DeviceClass::P2KCommand);
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(first, again); // same devices, same identities and order
    // Three distinct identities, none of them 0.
    EXPECT_EQ((std::set<uint32_t>{0, first[0].devInst, first[1].devInst, first[2].devInst}).size(), 4u);
    // Plugged in again: the kernel gives a new device number, so the old
    // identity does not carry over to what may be another phone.
    EXPECT_NE(describeDevice(p2kPhone(1, 7), DeviceClass::P2KCommand)[0].devInst,
              describeDevice(p2kPhone(1, 8), DeviceClass::P2KCommand)[0].devInst);
    // Two ACM ports of one device are distinct.
    auto twoPorts = modemPhone();
    twoPorts.interfaces.push_back(iface(3, kClassComm, kSubClassAcm, "cdc_acm", {}, {"/dev/ttyACM1"}));
    twoPorts.interfaceCount = 4;
    const auto ports = describeDevice(twoPorts, DeviceClass::ATModem);
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_NE(ports[0].devInst, ports[1].devInst);
    EXPECT_EQ(ports[1].devicePath, "/dev/ttyACM1");
    // The modem port and the whole-device entry of the same numbers are
    // distinct; numbers the kernel would not give form no identity.
    EXPECT_EQ(makeDevInst(DeviceKind::P2K, 1, 7, 8), 0x01010708u);
    EXPECT_NE(makeDevInst(DeviceKind::AT, 1, 7, 0), makeDevInst(DeviceKind::Other, 1, 7, 0));
    EXPECT_FALSE(makeDevInst(DeviceKind::P2K, 0, 7, 0));
    EXPECT_FALSE(makeDevInst(DeviceKind::P2K, 1, 256, 0));
    EXPECT_FALSE(makeDevInst(DeviceKind::P2K, 1, 7, -1));
}

TEST(UsbFactsTest, PathsAndSysfsNumbers)
{
    EXPECT_EQ(parseP2KPath(makeP2KPath("/dev/bus/usb/001/007", 8)), (P2KPath{"/dev/bus/usb/001/007", 8}));
    EXPECT_EQ(parseP2KPath("/dev/bus/usb/003/120#0"), (P2KPath{"/dev/bus/usb/003/120", 0}));
    for (const char* bad :
         {"", "/dev/bus/usb/001/007", "#3", "/dev/x#", "/dev/x#256", "/dev/x#1a", "/dev/x#-1", "/dev/x# 1", "/dev/ttyACM0"})
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
