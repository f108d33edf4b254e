// What libudev tells about the USB devices and ttys of the system: a scan of
// sysfs into plain attribute records (UsbFacts turns them into listings) and a
// monitor of arrivals and removals.
//
// Neither needs udevd: libudev reads sysfs itself. Without udevd (containers)
// the monitor is made and its descriptor is valid, but no event ever comes;
// DeviceWatcher does not rely on it.
#pragma once

#include "phone/linux/Report.h"
#include "phone/linux/UsbFacts.h"

#include <memory>
#include <optional>
#include <vector>

struct udev;

namespace vexlon::phone::lnx {

// A descriptor that becomes readable when something may have changed.
class EventSource {
public:
    virtual ~EventSource() = default;
    virtual int fd() const = 0;
    // Reads every pending event without blocking; returns how many there were.
    virtual std::size_t drain() = 0;
};

class UdevSource {
public:
    explicit UdevSource(ReportFn report);
    ~UdevSource();
    UdevSource(const UdevSource&) = delete;
    UdevSource& operator=(const UdevSource&) = delete;

    // Every USB device with its interfaces and their ttys; nullopt when sysfs
    // could not be read at all (an empty list means no devices).
    std::optional<std::vector<UsbDeviceAttributes>> scan();

    // A monitor of the "usb" and "tty" subsystems; nullptr (reported) when
    // none can be set up.
    std::unique_ptr<EventSource> monitor();

private:
    void report(const std::string& text) const;

    struct udev* m_udev = nullptr;
    ReportFn m_report;
    bool m_scanFailureReported = false;
};

} // namespace vexlon::phone::lnx
