#include "phone/USBCtrls.h"

#include <algorithm>
#include <cctype>

namespace vexlon::phone {

namespace {

std::string upper(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), [](char c) {
        return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    });
    return result;
}

} // namespace

bool DescriptionMatches(std::string_view description, std::string_view filter)
{
    if (filter.empty())
        return true;
    return upper(description).find(upper(filter)) != std::string::npos;
}

void EnumerateDevices(IDeviceBackend& backend, DeviceClass deviceClass, std::string_view filter,
                      TUSBDevises& devices)
{
    devices.clear();
    TUSBDevises all;
    try {
        all = backend.enumerateDevices(deviceClass);
    } catch (...) {
        return;
    }
    for (auto& device : all) {
        if (DescriptionMatches(device.DeviceDesc, filter))
            devices.push_back(std::move(device));
    }
}

bool RegisterDeviceNotify(IDeviceBackend& backend, DeviceClass deviceClass,
                          std::unique_ptr<IDeviceWatcher>& watcher)
{
    try {
        watcher = backend.watch(deviceClass);
    } catch (...) {
        watcher.reset();
    }
    return watcher != nullptr;
}

} // namespace vexlon::phone
