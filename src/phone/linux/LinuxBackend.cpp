#include "phone/linux/LinuxBackend.h"

#include "phone/SystemClock.h"

#include "phone/linux/ControlTransfer.h"
#include "phone/linux/DeviceWatcher.h"
#include "phone/linux/LibusbPipe.h"
#include "phone/linux/TermiosPort.h"
#include "phone/linux/UdevSource.h"
#include "phone/linux/UsbFacts.h"

#include <unistd.h>

namespace vexlon::phone::lnx {

namespace {

// What the backend and every watcher it made share; it lives as long as the
// longest of them.
struct Shared {
    explicit Shared(ReportFn r) : report(std::move(r)), source(report) {}

    std::optional<std::vector<FoundDevice>> list(DeviceClass deviceClass)
    {
        const auto devices = source.scan();
        if (!devices)
            return std::nullopt;
        return listDevices(*devices, deviceClass);
    }

    ReportFn report;
    UdevSource source;
    SystemClock clock;
    bool udevdReported = false;
};

class LinuxBackend final : public IDeviceBackend {
public:
    explicit LinuxBackend(ReportFn report) : m_shared(std::make_shared<Shared>(std::move(report))) {}

    TUSBDevises enumerateDevices(DeviceClass deviceClass) override
    {
        TUSBDevises records;
        if (const auto found = m_shared->list(deviceClass)) {
            for (const auto& device : *found)
                records.push_back(toRecord(device));
        }
        return records;
    }

    std::unique_ptr<IDeviceWatcher> watch(DeviceClass deviceClass) override
    {
        if (!m_shared->udevdReported && ::access("/run/udev/control", F_OK) != 0) {
            m_shared->udevdReported = true;
            if (m_shared->report)
                m_shared->report("udevd is not running: device changes are found by checking every two seconds");
        }
        std::shared_ptr<Shared> shared = m_shared;
        Enumerator enumerate = [shared, deviceClass]() -> std::optional<std::vector<uint32_t>> {
            const auto found = shared->list(deviceClass);
            if (!found)
                return std::nullopt;
            std::vector<uint32_t> ids;
            for (const auto& device : *found)
                ids.push_back(device.devInst);
            return ids;
        };
        return std::make_unique<DeviceWatcher>(std::move(enumerate), shared->clock, shared->source.monitor(),
                                               WatcherOptions{}, shared->report);
    }

    std::unique_ptr<IP2KDevice> openP2K(const std::string& devicePath) override
    {
        auto pipe = openLibusbPipe(devicePath, m_shared->report);
        if (!pipe)
            return nullptr;
        return std::make_unique<P2KDevice>(std::move(pipe), m_shared->report);
    }

    std::unique_ptr<IATPort> openATPort(const std::string& devicePath) override
    {
        return TermiosPort::open(devicePath, m_shared->report);
    }

    IClock& clock() override { return m_shared->clock; }

private:
    std::shared_ptr<Shared> m_shared;
};

} // namespace

std::unique_ptr<IDeviceBackend> makeLinuxBackend(ReportFn report)
{
    return std::make_unique<LinuxBackend>(std::move(report));
}

} // namespace vexlon::phone::lnx
