// The device access of the running Linux system: phones found through
// libudev (sysfs), arrivals and removals through a udev monitor backed by
// polling, P2K requests as USB control transfers through libusb, and the
// AT-mode modem port through termios.
//
// Nothing here needs a phone, udevd or a readable /dev/bus/usb to start:
// without them the lists are empty, no notification comes, and what failed
// is told through the report function.
#pragma once

#include "phone/DeviceAccess.h"

#include "phone/linux/Report.h"

#include <memory>

namespace vexlon::phone::lnx {

// `report` receives one line of text for every failure of the platform (a
// device that cannot be opened, an interface that cannot be claimed, a
// transfer that failed, notifications that are not available), on the
// thread that uses the backend. It may be empty.
//
// Watchers and opened devices made by the backend may outlive it.
std::unique_ptr<IDeviceBackend> makeLinuxBackend(ReportFn report = {});

} // namespace vexlon::phone::lnx
