#include "phone/linux/UdevSource.h"

#include <libudev.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <string_view>

namespace vexlon::phone::lnx {

namespace {

std::string text(const char* value)
{
    return value ? std::string(value) : std::string();
}

std::string attribute(udev_device* device, const char* name)
{
    return text(udev_device_get_sysattr_value(device, name));
}

int hexAttribute(udev_device* device, const char* name)
{
    return parseHexAttribute(attribute(device, name)).value_or(-1);
}

int decimalAttribute(udev_device* device, const char* name)
{
    return parseDecimalAttribute(attribute(device, name)).value_or(-1);
}

struct DeviceRef {
    udev_device* device = nullptr;
    explicit DeviceRef(udev_device* d) : device(d) {}
    ~DeviceRef()
    {
        if (device)
            udev_device_unref(device);
    }
    DeviceRef(const DeviceRef&) = delete;
    DeviceRef& operator=(const DeviceRef&) = delete;
};

struct EnumerateRef {
    udev_enumerate* enumerate = nullptr;
    explicit EnumerateRef(udev_enumerate* e) : enumerate(e) {}
    ~EnumerateRef()
    {
        if (enumerate)
            udev_enumerate_unref(enumerate);
    }
    EnumerateRef(const EnumerateRef&) = delete;
    EnumerateRef& operator=(const EnumerateRef&) = delete;
};

// Syspaths of one subsystem; nullopt when the scan itself failed.
std::optional<std::vector<std::string>> syspaths(udev* context, const char* subsystem)
{
    EnumerateRef enumerate(udev_enumerate_new(context));
    if (!enumerate.enumerate || udev_enumerate_add_match_subsystem(enumerate.enumerate, subsystem) < 0
        || udev_enumerate_scan_devices(enumerate.enumerate) < 0)
        return std::nullopt;
    std::vector<std::string> paths;
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate.enumerate))
    {
        if (const char* name = udev_list_entry_get_name(entry))
            paths.emplace_back(name);
    }
    return paths;
}

class UdevMonitor final : public EventSource {
public:
    explicit UdevMonitor(udev_monitor* monitor) : m_monitor(monitor) {}
    ~UdevMonitor() override { udev_monitor_unref(m_monitor); }
    UdevMonitor(const UdevMonitor&) = delete;
    UdevMonitor& operator=(const UdevMonitor&) = delete;

    int fd() const override { return udev_monitor_get_fd(m_monitor); }

    std::size_t drain() override
    {
        // The monitor's socket is non-blocking: receive returns null when
        // nothing is left. A bounded loop keeps a storm of events from
        // holding the caller; what is left makes the descriptor readable
        // again.
        std::size_t count = 0;
        while (count < 1024) {
            udev_device* device = udev_monitor_receive_device(m_monitor);
            if (!device)
                break;
            udev_device_unref(device);
            ++count;
        }
        return count;
    }

private:
    udev_monitor* m_monitor;
};

} // namespace

UdevSource::UdevSource(ReportFn report) : m_report(std::move(report))
{
    m_udev = udev_new();
    if (!m_udev)
        this->report("udev is not available: " + std::string(std::strerror(errno))
                     + "; no phone can be found");
}

UdevSource::~UdevSource()
{
    if (m_udev)
        udev_unref(m_udev);
}

void UdevSource::report(const std::string& message) const
{
    if (m_report)
        m_report(message);
}

std::optional<std::vector<UsbDeviceAttributes>> UdevSource::scan()
{
    if (!m_udev)
        return std::nullopt;
    const auto usbPaths = syspaths(m_udev, "usb");
    const auto ttyPaths = syspaths(m_udev, "tty");
    if (!usbPaths || !ttyPaths) {
        if (!m_scanFailureReported)
            report("the USB devices cannot be listed (sysfs not readable)");
        m_scanFailureReported = true;
        return std::nullopt;
    }
    m_scanFailureReported = false;

    std::vector<UsbDeviceAttributes> devices;
    std::map<std::string, std::size_t> deviceBySysPath;
    struct PendingInterface {
        std::string deviceSysPath;
        UsbInterfaceAttributes attributes;
    };
    std::vector<PendingInterface> interfaces;

    for (const auto& path : *usbPaths) {
        DeviceRef device(udev_device_new_from_syspath(m_udev, path.c_str()));
        if (!device.device)
            continue;  // gone in the meantime
        const std::string devtype = text(udev_device_get_devtype(device.device));
        if (devtype == "usb_device") {
            UsbDeviceAttributes attributes;
            attributes.sysPath = path;
            attributes.devNode = text(udev_device_get_devnode(device.device));
            attributes.rootHub = text(udev_device_get_sysname(device.device)).rfind("usb", 0) == 0;
            attributes.busNumber = decimalAttribute(device.device, "busnum");
            attributes.deviceNumber = decimalAttribute(device.device, "devnum");
            attributes.vendorId = hexAttribute(device.device, "idVendor");
            attributes.productId = hexAttribute(device.device, "idProduct");
            attributes.interfaceCount = decimalAttribute(device.device, "bNumInterfaces");
            attributes.manufacturer = attribute(device.device, "manufacturer");
            attributes.product = attribute(device.device, "product");
            deviceBySysPath[path] = devices.size();
            devices.push_back(std::move(attributes));
        } else if (devtype == "usb_interface") {
            udev_device* parent
                = udev_device_get_parent_with_subsystem_devtype(device.device, "usb", "usb_device");
            if (!parent)
                continue;
            PendingInterface pending;
            pending.deviceSysPath = text(udev_device_get_syspath(parent));
            pending.attributes.sysPath = path;
            pending.attributes.number = hexAttribute(device.device, "bInterfaceNumber");
            pending.attributes.interfaceClass = hexAttribute(device.device, "bInterfaceClass");
            pending.attributes.subClass = hexAttribute(device.device, "bInterfaceSubClass");
            pending.attributes.driver = text(udev_device_get_driver(device.device));
            pending.attributes.name = attribute(device.device, "interface");
            interfaces.push_back(std::move(pending));
        }
    }

    // The ttys of USB interfaces (sysfs places a tty below the interface
    // that made it).
    std::map<std::string, std::vector<std::string>> ttysByInterface;
    for (const auto& path : *ttyPaths) {
        if (path.find("/usb") == std::string::npos)
            continue;  // consoles, ptys and other non-USB ttys
        DeviceRef tty(udev_device_new_from_syspath(m_udev, path.c_str()));
        if (!tty.device)
            continue;
        udev_device* parent = udev_device_get_parent_with_subsystem_devtype(tty.device, "usb", "usb_interface");
        const char* node = udev_device_get_devnode(tty.device);
        if (parent && node)
            ttysByInterface[text(udev_device_get_syspath(parent))].emplace_back(node);
    }

    for (auto& pending : interfaces) {
        const auto owner = deviceBySysPath.find(pending.deviceSysPath);
        if (owner == deviceBySysPath.end())
            continue;
        if (const auto ttys = ttysByInterface.find(pending.attributes.sysPath); ttys != ttysByInterface.end())
            pending.attributes.ttyNodes = ttys->second;
        devices[owner->second].interfaces.push_back(std::move(pending.attributes));
    }
    return devices;
}

std::unique_ptr<EventSource> UdevSource::monitor()
{
    if (!m_udev)
        return nullptr;
    udev_monitor* monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (!monitor) {
        report("no device notifications (udev monitor unavailable: " + std::string(std::strerror(errno))
               + "); the device list is checked every two seconds instead");
        return nullptr;
    }
    if (udev_monitor_filter_add_match_subsystem_devtype(monitor, "usb", nullptr) < 0
        || udev_monitor_filter_add_match_subsystem_devtype(monitor, "tty", nullptr) < 0
        || udev_monitor_enable_receiving(monitor) < 0) {
        report("no device notifications (udev monitor cannot listen: " + std::string(std::strerror(errno))
               + "); the device list is checked every two seconds instead");
        udev_monitor_unref(monitor);
        return nullptr;
    }
    return std::make_unique<UdevMonitor>(monitor);
}

} // namespace vexlon::phone::lnx
