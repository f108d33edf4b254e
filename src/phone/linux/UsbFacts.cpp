#include "phone/linux/UsbFacts.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace vexlon::phone::lnx {

namespace {

std::string_view trim(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::optional<int> parseNumber(std::string_view text, int base)
{
    text = trim(text);
    if (text.empty() || text.size() > 6)
        return std::nullopt;
    int value = 0;
    for (const char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return std::nullopt;
        value = value * base + digit;
    }
    if (value > 0xFFFF)
        return std::nullopt;
    return value;
}

bool containsNoCase(std::string_view haystack, std::string_view needle)
{
    const auto it = std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end(),
                                [](char a, char b) {
                                    return std::tolower(static_cast<unsigned char>(a))
                                        == std::tolower(static_cast<unsigned char>(b));
                                });
    return it != haystack.end();
}

// Strings from a device go into a text that is shown to the user and
// matched by the components: plain ASCII whatever the device sends.
std::string printable(std::string_view text)
{
    std::string out;
    for (const char c : trim(text)) {
        const auto byte = static_cast<unsigned char>(c);
        out += byte < 0x20 || byte == 0x7F ? ' ' : byte > 0x7F ? '?' : c;
    }
    return out;
}

bool isCdc(const UsbInterfaceAttributes& iface)
{
    return iface.interfaceClass == kClassComm || iface.interfaceClass == kClassCdcData;
}

// An ACM interface that has no tty yet although cdc_acm drives it or may
// still be loaded for it.
bool awaitsTty(const UsbInterfaceAttributes& iface)
{
    return iface.interfaceClass == kClassComm && iface.subClass == kSubClassAcm
        && iface.ttyNodes.empty() && (iface.driver.empty() || iface.driver == "cdc_acm");
}

std::string withDetails(const char* label, const std::string& details)
{
    std::string text = label;
    if (!details.empty())
        text += " (" + details + ")";
    return text;
}

FoundDevice makeEntry(const UsbDeviceAttributes& device, const UsbInterfaceAttributes* iface,
                      DeviceKind kind, uint32_t devInst, std::string path, const char* label)
{
    FoundDevice entry;
    entry.kind = kind;
    entry.devInst = devInst;
    entry.devicePath = std::move(path);
    entry.description = withDetails(label, describeDetails(device, iface));
    entry.busNumber = device.busNumber;
    entry.manufacturer = printable(device.manufacturer);
    entry.product = printable(device.product);
    entry.driver = iface ? iface->driver : std::string();
    entry.sysPath = iface ? iface->sysPath : device.sysPath;
    return entry;
}

std::string nodeOf(const UsbDeviceAttributes& device)
{
    return device.devNode.empty() ? usbfsNode(device.busNumber, device.deviceNumber) : device.devNode;
}

} // namespace

std::optional<int> parseDecimalAttribute(std::string_view text)
{
    return parseNumber(text, 10);
}

std::optional<int> parseHexAttribute(std::string_view text)
{
    return parseNumber(text, 16);
}

std::optional<uint32_t> makeDevInst(DeviceKind kind, int busNumber, int deviceNumber,
                                    int interfaceNumber)
{
    if (busNumber < 1 || busNumber > 0xFF || deviceNumber < 1 || deviceNumber > 0xFF
        || interfaceNumber < 0 || interfaceNumber > 0xFF)
        return std::nullopt;
    return (static_cast<uint32_t>(kind) << 24) | (static_cast<uint32_t>(busNumber) << 16)
        | (static_cast<uint32_t>(deviceNumber) << 8) | static_cast<uint32_t>(interfaceNumber);
}

std::string usbfsNode(int busNumber, int deviceNumber)
{
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "/dev/bus/usb/%03d/%03d", busNumber, deviceNumber);
    return buffer;
}

std::string makeP2KPath(const std::string& node, int interfaceNumber)
{
    return node + '#' + std::to_string(interfaceNumber);
}

std::optional<P2KPath> parseP2KPath(std::string_view path)
{
    const auto hash = path.rfind('#');
    if (hash == std::string_view::npos || hash == 0)
        return std::nullopt;
    const std::string_view number = path.substr(hash + 1);
    if (number.empty() || number.size() > 3
        || !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const auto value = parseDecimalAttribute(number);
    if (!value || *value > 0xFF)
        return std::nullopt;
    return P2KPath{std::string(path.substr(0, hash)), *value};
}

std::optional<std::size_t> findCommandInterface(const UsbDeviceAttributes& device)
{
    if (device.vendorId != kMotorolaVendorId)
        return std::nullopt;
    if (std::any_of(device.interfaces.begin(), device.interfaces.end(), isCdc))
        return std::nullopt;
    std::optional<std::size_t> lowest;
    for (std::size_t i = 0; i < device.interfaces.size(); ++i) {
        const auto& iface = device.interfaces[i];
        if (iface.interfaceClass != kClassVendorSpecific || iface.number < 0)
            continue;
        if (containsNoCase(iface.name, "test command"))
            return i;
        if (!lowest || iface.number < device.interfaces[*lowest].number)
            lowest = i;
    }
    return lowest;
}

std::string describeDetails(const UsbDeviceAttributes& device, const UsbInterfaceAttributes* iface)
{
    std::vector<std::string> parts;
    std::string product = printable(device.product);
    if (product.empty())
        product = printable(device.manufacturer);
    if (!product.empty())
        parts.push_back(product);
    if (iface) {
        if (std::string name = printable(iface->name); !name.empty())
            parts.push_back(name);
    }
    if (device.vendorId >= 0 && device.productId >= 0) {
        char ids[24];
        std::snprintf(ids, sizeof ids, "%04x:%04x", device.vendorId, device.productId);
        parts.push_back(ids);
    }
    std::string details;
    for (const auto& part : parts) {
        if (!details.empty())
            details += ", ";
        details += part;
    }
    return details;
}

bool isAcmInterface(const UsbInterfaceAttributes& iface)
{
    return iface.driver == "cdc_acm" || iface.interfaceClass == kClassComm;
}

bool isSettled(const UsbDeviceAttributes& device, DeviceClass listing)
{
    if (device.interfaceCount >= 0
        && device.interfaces.size() != static_cast<std::size_t>(device.interfaceCount))
        return false;
    if (listing == DeviceClass::ATModem)
        return std::none_of(device.interfaces.begin(), device.interfaces.end(), awaitsTty);
    return true;
}

std::vector<FoundDevice> describeDevice(const UsbDeviceAttributes& device, DeviceClass listing)
{
    std::vector<FoundDevice> entries;
    if (device.rootHub || !isSettled(device, listing))
        return entries;

    if (listing == DeviceClass::P2KCommand) {
        const auto index = findCommandInterface(device);
        if (!index)
            return entries;
        const auto& iface = device.interfaces[*index];
        if (const auto devInst = makeDevInst(DeviceKind::P2K, device.busNumber, device.deviceNumber,
                                             iface.number))
            entries.push_back(makeEntry(device, &iface, DeviceKind::P2K, *devInst,
                                        makeP2KPath(nodeOf(device), iface.number), kP2KLabel));
        return entries;
    }

    const char* modemLabel = device.vendorId == kMotorolaVendorId ? kMotorolaModemLabel : kOtherModemLabel;
    for (const auto& iface : device.interfaces) {
        if (!isAcmInterface(iface))
            continue;
        for (const auto& node : iface.ttyNodes) {
            const auto devInst = makeDevInst(DeviceKind::AT, device.busNumber, device.deviceNumber, iface.number);
            if (devInst && !node.empty())
                entries.push_back(makeEntry(device, &iface, DeviceKind::AT, *devInst, node, modemLabel));
        }
    }
    if (entries.empty()) {
        if (const auto devInst = makeDevInst(DeviceKind::Other, device.busNumber, device.deviceNumber, 0))
            entries.push_back(makeEntry(device, nullptr, DeviceKind::Other, *devInst, nodeOf(device),
                                        kOtherDeviceLabel));
    }
    return entries;
}

std::vector<FoundDevice> listDevices(const std::vector<UsbDeviceAttributes>& devices, DeviceClass listing)
{
    std::vector<FoundDevice> all;
    for (const auto& device : devices) {
        auto entries = describeDevice(device, listing);
        all.insert(all.end(), std::make_move_iterator(entries.begin()), std::make_move_iterator(entries.end()));
    }
    std::stable_sort(all.begin(), all.end(),
                     [](const FoundDevice& a, const FoundDevice& b) { return a.devInst < b.devInst; });
    all.erase(std::unique(all.begin(), all.end(),
                          [](const FoundDevice& a, const FoundDevice& b) { return a.devInst == b.devInst; }),
              all.end());
    return all;
}

TUSBDevise toRecord(const FoundDevice& device)
{
    TUSBDevise record;
    record.DevInst = device.devInst;
    record.DevicePath = device.devicePath;
    record.DeviceDesc = device.description;
    record.FriendlyName = device.description;
    record.Mfg = device.manufacturer;
    record.Driver = device.driver;
    record.Service = device.driver;
    record.BusNumber = device.busNumber > 0 ? static_cast<uint32_t>(device.busNumber) : 0;
    record.EnumeratorName = "USB";
    record.PhysicalDeviceObjectName = device.sysPath;
    return record;
}

} // namespace vexlon::phone::lnx
