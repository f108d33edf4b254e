#include "phone/linux/UsbFacts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

using namespace vexlon::phone;
using namespace vexlon::phone::lnx;

namespace {

// The components' filters are case-insensitive substring matches.
bool matches(const std::string& description, std::string filter)
{
    std::string text = description;
    for (auto* s : {&text, &filter})
        std::transform(s->begin(), s->end(), s->begin(), [](unsigned char c) { return std::toupper(c); });
    return text.find(filter) != std::string::npos;
}

UsbInterfaceAttributes iface(int number, int cls, int subClass = 0, std::string driver = {},
                             std::string name = {}, std::vector<std::string> ttys = {})
{
    UsbInterfaceAttributes a;
    a.sysPath = "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1." + std::to_string(number);
    a.number = number;
    a.interfaceClass = cls;
    a.subClass = subClass;
    a.driver = std::move(driver);
    a.name = std::move(name);
    a.ttyNodes = std::move(ttys);
    return a;
}

UsbDeviceAttributes device(int vendor, int product, int bus, int devnum,
                           std::vector<UsbInterfaceAttributes> interfaces, std::string productName = {})
{
    UsbDeviceAttributes d;
    d.sysPath = "/sys/devices/pci0000:00/0000:00:14.0/usb" + std::to_string(bus) + "/" + std::to_string(bus) + "-2";
    d.devNode = usbfsNode(bus, devnum);
    d.busNumber = bus;
    d.deviceNumber = devnum;
    d.vendorId = vendor;
    d.productId = product;
    d.interfaceCount = static_cast<int>(interfaces.size());
    d.manufacturer = "Motorola Inc.";
    d.product = std::move(productName);
    d.interfaces = std::move(interfaces);
    return d;
}

// A phone in P2K mode: only vendor-specific interfaces.
UsbDeviceAttributes p2kPhone(int bus = 1, int devnum = 7)
{
    return device(0x22b8, 0x4902, bus, devnum, {iface(0, 0xFF), iface(1, 0xFF)}, "Motorola Phone (V3)");
}

// The same phone in AT mode: a CDC ACM modem (control and data interface)
// and a vendor-specific interface.
UsbDeviceAttributes modemPhone(int bus = 1, int devnum = 6, std::vector<std::string> ttys = {"/dev/ttyACM0"})
{
    return device(0x22b8, 0x4901, bus, devnum,
                  {iface(0, kClassComm, kSubClassAcm, "cdc_acm", {}, std::move(ttys)),
                   iface(1, kClassCdcData, 0, "cdc_acm"), iface(2, 0xFF)},
                  "Motorola Phone (V3)");
}

} // namespace

TEST(UsbFactsTest, DescriptionsOfPhonesMatchTheComponentFilters)
{
    const auto p2k = describeDevice(p2kPhone(), DeviceClass::P2KCommand);
    ASSERT_EQ(p2k.size(), 1u);
    EXPECT_EQ(p2k[0].description, "Motorola Test Command Interface (Motorola Phone (V3), 22b8:4902)");
    EXPECT_TRUE(matches(p2k[0].description, "Test Command Interface"));
    EXPECT_FALSE(matches(p2k[0].description, "Motorola USB Modem"));

    const auto at = describeDevice(modemPhone(), DeviceClass::ATModem);
    ASSERT_EQ(at.size(), 1u);
    EXPECT_EQ(at[0].description, "Motorola USB Modem (Motorola Phone (V3), 22b8:4901)");
    EXPECT_EQ(at[0].devicePath, "/dev/ttyACM0");
    EXPECT_TRUE(matches(at[0].description, "Motorola USB Modem"));
    EXPECT_FALSE(matches(at[0].description, "Test Command Interface"));

    // A modem-mode phone has no P2K command interface, whatever else it has.
    EXPECT_TRUE(describeDevice(modemPhone(), DeviceClass::P2KCommand).empty());
    // A P2K-mode phone is listed among all USB devices, but not as a modem.
    const auto asUsb = describeDevice(p2kPhone(), DeviceClass::ATModem);
    ASSERT_EQ(asUsb.size(), 1u);
    EXPECT_EQ(asUsb[0].kind, DeviceKind::Other);
    EXPECT_FALSE(matches(asUsb[0].description, "Motorola USB Modem"));
    EXPECT_FALSE(matches(asUsb[0].description, "Test Command Interface"));
}

TEST(UsbFactsTest, OtherVendorsNeverPassForPhones)
{
    // A vendor-specific device of another maker (a serial adapter, say).
    const auto adapter = device(0x0403, 0x6001, 1, 3, {iface(0, 0xFF, 0xFF, "ftdi_sio", {}, {"/dev/ttyUSB0"})},
                                "FT232R USB UART");
    EXPECT_TRUE(describeDevice(adapter, DeviceClass::P2KCommand).empty());
    const auto adapterUsb = describeDevice(adapter, DeviceClass::ATModem);
    ASSERT_EQ(adapterUsb.size(), 1u);
    EXPECT_EQ(adapterUsb[0].description, "USB Device (FT232R USB UART, 0403:6001)");

    // An ACM modem of another maker is a modem, but not a Motorola one.
    auto modem = modemPhone();
    modem.vendorId = 0x1546;
    modem.product = "u-blox GNSS receiver";
    const auto other = describeDevice(modem, DeviceClass::ATModem);
    ASSERT_EQ(other.size(), 1u);
    EXPECT_EQ(other[0].description, "USB Modem (u-blox GNSS receiver, 1546:4901)");
    EXPECT_FALSE(matches(other[0].description, "Motorola USB Modem"));
}

TEST(UsbFactsTest, CommandInterfaceChoice)
{
    // Named interface wins over a lower number.
    auto named = device(0x22b8, 0x4902, 1, 7,
                        {iface(0, 0xFF, 0, {}, "Motorola MCP"), iface(8, 0xFF, 0, {}, "Motorola TEST COMMAND")});
    auto entries = describeDevice(named, DeviceClass::P2KCommand);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].devicePath, "/dev/bus/usb/001/007#8");
    EXPECT_EQ(entries[0].description,
              "Motorola Test Command Interface (Motorola Inc., Motorola TEST COMMAND, 22b8:4902)");

    // Without names the lowest-numbered vendor-specific interface, in
    // whatever order sysfs lists them; other classes are passed over.
    auto unnamed = device(0x22b8, 0x4902, 1, 7, {iface(5, 0xFF), iface(3, 0x08), iface(4, 0xFF)});
    entries = describeDevice(unnamed, DeviceClass::P2KCommand);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].devicePath, "/dev/bus/usb/001/007#4");

    // No vendor-specific interface at all: nothing.
    EXPECT_TRUE(describeDevice(device(0x22b8, 0x1234, 1, 7, {iface(0, 0x08)}), DeviceClass::P2KCommand).empty());
}

TEST(UsbFactsTest, DeviceStringsAreMadePlain)
{
    auto phone = p2kPhone();
    phone.product = "  Moto\x01rola\tPh\xC3\xB6ne\n";
    phone.manufacturer.clear();
    const auto entries = describeDevice(phone, DeviceClass::P2KCommand);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].description, "Motorola Test Command Interface (Moto rola Ph??ne, 22b8:4902)");

    // No strings at all: the ids alone.
    phone.product.clear();
    EXPECT_EQ(describeDevice(phone, DeviceClass::P2KCommand)[0].description,
              "Motorola Test Command Interface (22b8:4902)");
}

TEST(UsbFactsTest, IdentityIsStableAndDistinct)
{
    const auto first = listDevices({p2kPhone(1, 7), p2kPhone(2, 7), p2kPhone(1, 9)}, DeviceClass::P2KCommand);
    const auto again = listDevices({p2kPhone(1, 9), p2kPhone(1, 7), p2kPhone(2, 7)}, DeviceClass::P2KCommand);
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(first, again);  // same devices, same identities and order
    EXPECT_NE(first[0].devInst, first[1].devInst);
    EXPECT_NE(first[1].devInst, first[2].devInst);
    EXPECT_NE(first[0].devInst, first[2].devInst);
    EXPECT_NE(first[0].devInst, 0u);

    // Plugged in again: the kernel gives a new device number, so the old
    // identity does not carry over to what may be another phone.
    EXPECT_NE(describeDevice(p2kPhone(1, 7), DeviceClass::P2KCommand)[0].devInst,
              describeDevice(p2kPhone(1, 8), DeviceClass::P2KCommand)[0].devInst);

    // Two ACM ports of one device, and the modem port and the whole device
    // entry of the same numbers, are distinct.
    auto twoPorts = modemPhone();
    twoPorts.interfaces.push_back(iface(3, kClassComm, kSubClassAcm, "cdc_acm", {}, {"/dev/ttyACM1"}));
    twoPorts.interfaceCount = 4;
    const auto ports = describeDevice(twoPorts, DeviceClass::ATModem);
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_NE(ports[0].devInst, ports[1].devInst);
    EXPECT_EQ(ports[1].devicePath, "/dev/ttyACM1");

    EXPECT_EQ(makeDevInst(DeviceKind::P2K, 1, 7, 8), 0x01010708u);
    EXPECT_NE(makeDevInst(DeviceKind::AT, 1, 7, 0), makeDevInst(DeviceKind::Other, 1, 7, 0));
    // Numbers the kernel would not give cannot form an identity; such a
    // device is left out rather than given a shared one.
    EXPECT_FALSE(makeDevInst(DeviceKind::P2K, 0, 7, 0));
    EXPECT_FALSE(makeDevInst(DeviceKind::P2K, 1, 256, 0));
    EXPECT_FALSE(makeDevInst(DeviceKind::P2K, 1, 7, -1));
    EXPECT_TRUE(describeDevice(p2kPhone(-1, 7), DeviceClass::P2KCommand).empty());
}

TEST(UsbFactsTest, HalfMadeDevicesAreLeftOut)
{
    // Interfaces still being added: not yet listed anywhere.
    auto partial = p2kPhone();
    partial.interfaceCount = 3;
    EXPECT_TRUE(describeDevice(partial, DeviceClass::P2KCommand).empty());
    EXPECT_TRUE(describeDevice(partial, DeviceClass::ATModem).empty());

    // The modem port not made yet: the phone shows up once, with its port,
    // instead of first as a plain device and then as a modem.
    auto noTty = modemPhone(1, 6, {});
    EXPECT_TRUE(describeDevice(noTty, DeviceClass::ATModem).empty());
    noTty.interfaces[0].driver.clear();  // cdc_acm not bound yet
    EXPECT_TRUE(describeDevice(noTty, DeviceClass::ATModem).empty());
    // Bound to another driver, no tty will come: a plain device.
    noTty.interfaces[0].driver = "cdc_ether";
    noTty.interfaces[1].driver = "cdc_ether";
    const auto plain = describeDevice(noTty, DeviceClass::ATModem);
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_EQ(plain[0].kind, DeviceKind::Other);

    // Root hubs are not devices a user plugs in.
    auto hub = device(0x1d6b, 0x0002, 1, 1, {iface(0, 0x09)}, "xHCI Host Controller");
    hub.rootHub = true;
    EXPECT_TRUE(describeDevice(hub, DeviceClass::ATModem).empty());
}

TEST(UsbFactsTest, P2KPathsRoundTripAndBadOnesAreRefused)
{
    EXPECT_EQ(parseP2KPath(makeP2KPath("/dev/bus/usb/001/007", 8)), (P2KPath{"/dev/bus/usb/001/007", 8}));
    EXPECT_EQ(parseP2KPath("/dev/bus/usb/003/120#0"), (P2KPath{"/dev/bus/usb/003/120", 0}));
    for (const char* bad : {"", "/dev/bus/usb/001/007", "#3", "/dev/x#", "/dev/x#256", "/dev/x#1a",
                            "/dev/x#-1", "/dev/x# 1", "/dev/ttyACM0"})
        EXPECT_FALSE(parseP2KPath(bad)) << bad;
}

TEST(UsbFactsTest, SysfsNumbers)
{
    EXPECT_EQ(parseHexAttribute("22b8\n"), 0x22b8);
    EXPECT_EQ(parseHexAttribute("ff"), 0xFF);
    EXPECT_EQ(parseDecimalAttribute(" 2\n"), 2);
    EXPECT_EQ(parseDecimalAttribute("127"), 127);
    EXPECT_FALSE(parseDecimalAttribute("1f"));
    EXPECT_FALSE(parseHexAttribute(""));
    EXPECT_FALSE(parseHexAttribute("0x22"));
    EXPECT_FALSE(parseHexAttribute("fffff"));
}

TEST(UsbFactsTest, RecordCarriesTheThreeFacts)
{
    const auto entry = describeDevice(p2kPhone(), DeviceClass::P2KCommand).at(0);
    const TUSBDevise record = toRecord(entry);
    EXPECT_EQ(record.DevInst, entry.devInst);
    EXPECT_EQ(record.DevicePath, "/dev/bus/usb/001/007#0");
    EXPECT_EQ(record.DeviceDesc, entry.description);
    EXPECT_EQ(record.BusNumber, 1u);
    EXPECT_EQ(record.Mfg, "Motorola Inc.");
}
