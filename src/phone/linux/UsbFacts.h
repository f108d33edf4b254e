// The three facts the phone components need of every attached device (an
// identity, a path to open and a description their filters match), formed
// from what the kernel tells about USB devices in sysfs.
//
// Everything here is pure: the attributes are read elsewhere (UdevSource)
// and handed in as plain records, so the rules can be exercised with sample
// attribute sets.
//
// Listings
// --------
// P2KCommand: the P2K command interface of every Motorola phone (vendor
//   0x22b8) in P2K mode. A Motorola device that shows a CDC interface
//   (class 0x02 or 0x0A) is in modem mode and has none. Otherwise its
//   command interface is the vendor-specific interface (class 0xFF) whose
//   interface string names the test command interface ("test command", any
//   case), or failing that the vendor-specific interface with the lowest
//   number. One per device at most, so one phone is one list entry.
// ATModem: every attached USB device, root hubs left out (the AT component
//   watches them all and picks the phones by description). A device with
//   CDC ACM ports is listed once per port (the tty of a communications
//   interface bound to cdc_acm, or of class 0x02); any other device once.
//
// A device is left out of both listings until the kernel has set it up:
// until all of its bNumInterfaces interfaces are present, and, for the
// ATModem listing, until every ACM interface (class 0x02, subclass 0x02)
// that cdc_acm drives or is about to drive has its tty. So a phone never
// shows up half-made (first without its modem port, then with it), which
// would look like a removal followed by an arrival.
//
// Description
// -----------
// The phone's own strings are not reliable enough to be matched (a phone
// may leave its interface string out, or word it otherwise), so a
// description begins with a label fixed by the rules above, and the device's
// own strings follow in brackets for the user:
//
//   P2K command interface:            "Motorola Test Command Interface (<details>)"
//   ACM port of a Motorola device:    "Motorola USB Modem (<details>)"
//   ACM port of another vendor:       "USB Modem (<details>)"
//   any other USB device:             "USB Device (<details>)"
//
// <details> is "<product>, <interface string>, vvvv:pppp": the product
// string (or the manufacturer string when there is none), the interface
// string of the listed interface, and vendor and product id in lower-case
// hexadecimal, each left out when the device does not give it. Control
// characters become blanks and non-ASCII bytes '?'.
//
// Identity (DevInst)
// ------------------
// Packed from the numbers that tell attached devices apart, so two present
// devices never share one and a device keeps its identity while attached:
//
//   bits 24-30  kind (1 P2K command interface, 2 ACM port, 3 other device)
//   bits 16-23  USB bus number (the kernel numbers buses from 1 to 64)
//   bits  8-15  device number on that bus (1 to 127)
//   bits  0-7   interface number (0 for a whole device)
//
// A device that is unplugged and plugged in again gets a new device number
// from the kernel, and so a new identity.
//
// Path (DevicePath)
// -----------------
// P2K: the usbfs node of the device, '#' and the interface number in decimal
// ("/dev/bus/usb/001/007#8"). ACM port: its tty node ("/dev/ttyACM0").
// Other devices: their usbfs node (never opened).
#pragma once

#include "phone/DeviceAccess.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexlon::phone::lnx {

inline constexpr int kMotorolaVendorId = 0x22b8;
inline constexpr int kClassComm = 0x02;
inline constexpr int kSubClassAcm = 0x02;
inline constexpr int kClassCdcData = 0x0A;
inline constexpr int kClassVendorSpecific = 0xFF;

inline constexpr const char* kP2KLabel = "Motorola Test Command Interface";
inline constexpr const char* kMotorolaModemLabel = "Motorola USB Modem";
inline constexpr const char* kOtherModemLabel = "USB Modem";
inline constexpr const char* kOtherDeviceLabel = "USB Device";

enum class DeviceKind : uint8_t { P2K = 1, AT = 2, Other = 3 };

// One interface of a USB device as sysfs shows it.
struct UsbInterfaceAttributes {
    std::string sysPath;
    int number = -1;          // bInterfaceNumber
    int interfaceClass = -1;  // bInterfaceClass
    int subClass = -1;        // bInterfaceSubClass
    std::string driver;       // bound kernel driver, empty when none
    std::string name;         // interface string ("interface"), often absent
    std::vector<std::string> ttyNodes;  // /dev nodes of its tty children
};

// A USB device (devtype usb_device) with its interfaces.
struct UsbDeviceAttributes {
    std::string sysPath;
    std::string devNode;      // /dev/bus/usb/BBB/DDD as udev names it; may be empty
    bool rootHub = false;
    int busNumber = -1;       // busnum
    int deviceNumber = -1;    // devnum
    int vendorId = -1;        // idVendor
    int productId = -1;       // idProduct
    int interfaceCount = -1;  // bNumInterfaces; -1 when unknown
    std::string manufacturer;
    std::string product;
    std::vector<UsbInterfaceAttributes> interfaces;
};

// One listed device: the three facts, and what the host may want besides.
struct FoundDevice {
    DeviceKind kind = DeviceKind::Other;
    uint32_t devInst = 0;
    std::string devicePath;
    std::string description;
    int busNumber = 0;
    std::string manufacturer;
    std::string product;
    std::string driver;
    std::string sysPath;

    bool operator==(const FoundDevice&) const = default;
};

// Parse a sysfs number attribute: "busnum" and "devnum" are decimal, the
// descriptor fields ("idVendor", "bInterfaceNumber", "bInterfaceClass" ...)
// hexadecimal without a prefix, "bNumInterfaces" decimal with a leading
// blank. Surrounding blanks and a line end are allowed; anything else, or a
// value above 0xFFFF, gives nullopt.
std::optional<int> parseDecimalAttribute(std::string_view text);
std::optional<int> parseHexAttribute(std::string_view text);

// Packs the identity; nullopt when a number is out of its field.
std::optional<uint32_t> makeDevInst(DeviceKind kind, int busNumber, int deviceNumber,
                                    int interfaceNumber);

// "/dev/bus/usb/BBB/DDD", the usbfs node of a device.
std::string usbfsNode(int busNumber, int deviceNumber);

// P2K path: node + '#' + interface number, and back.
std::string makeP2KPath(const std::string& node, int interfaceNumber);
struct P2KPath {
    std::string node;
    int interfaceNumber = -1;
    bool operator==(const P2KPath&) const = default;
};
std::optional<P2KPath> parseP2KPath(std::string_view path);

// Index into device.interfaces of the P2K command interface, if any.
std::optional<std::size_t> findCommandInterface(const UsbDeviceAttributes& device);

// The bracketed details of a description.
std::string describeDetails(const UsbDeviceAttributes& device, const UsbInterfaceAttributes* iface);

// True when the tty of this interface is an ACM modem port.
bool isAcmInterface(const UsbInterfaceAttributes& iface);

// False while the kernel is still setting the device up (see above).
bool isSettled(const UsbDeviceAttributes& device, DeviceClass listing);

// The entries one device contributes to a listing.
std::vector<FoundDevice> describeDevice(const UsbDeviceAttributes& device, DeviceClass listing);

// The listing of all devices, ordered by identity (so the first phone is the
// same one on every enumeration), with no identity twice.
std::vector<FoundDevice> listDevices(const std::vector<UsbDeviceAttributes>& devices,
                                     DeviceClass listing);

// The record the components receive.
TUSBDevise toRecord(const FoundDevice& device);

} // namespace vexlon::phone::lnx
