// Control transfers to a phone's P2K command interface through usbfs and
// libusb.
//
// The device is opened by its usbfs node (the part of the device path before
// '#'), wrapped into libusb without libusb scanning the bus, and the
// interface named after '#' is claimed, a kernel driver bound to it being
// detached first (and given back when the pipe closes).
#pragma once

#include "phone/linux/ControlTransfer.h"

#include <memory>
#include <string>

namespace vexlon::phone::lnx {

// nullptr, with a report saying why, when the path is not a P2K device path
// or the device cannot be opened or its interface claimed.
std::unique_ptr<ControlPipe> openLibusbPipe(const std::string& devicePath, const ReportFn& report);

} // namespace vexlon::phone::lnx
