// The virtual bus: a device backend whose devices are virtual phones (and
// other USB devices), listed, watched and opened as the platform's are. Its
// device objects hand each request to the phone behind them while that
// phone is still attached in the same appearance.
#pragma once

#include "phone/DeviceAccess.h"
#include "phone/sim/VirtualClock.h"
#include "phone/sim/VirtualPhone.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vexlon::phone::sim {

class Bus;

// The backend. Owns the phones; other USB devices can be plugged in too.
class VirtualBackend final : public IDeviceBackend {
public:
    VirtualBackend();
    ~VirtualBackend() override;

    // A phone over the storage given (memory when none), attached in mode.
    VirtualPhone& addPhone(PhoneMode mode = PhoneMode::P2K,
                           std::shared_ptr<IPhoneStorage> storage = nullptr);
    // A phone set up by its storage's ".phone/" files: "mode" (AT, P2K or
    // none; P2K if absent), "storage" (its free storage in bytes) and
    // "faults" (one fault a line, see parseFaultFile and README.md). What
    // cannot be read is left out, logged, and listed in
    // configurationProblems(); the phone is attached all the same.
    VirtualPhone& addConfiguredPhone(std::shared_ptr<IPhoneStorage> storage);
    // One text per problem found in the set-up files, oldest first, for the
    // host to show ("... .phone/faults line 2: unknown fault \"Foo\" ...").
    const std::vector<std::string>& configurationProblems() const;
    int phoneCount() const;
    VirtualPhone& phone(int index);

    // Some other USB device (seen only by the AT-mode class).
    int plugInOtherDevice(const std::string& description);
    void unplugOtherDevice(int handle);

    VirtualClock& virtualClock();
    // Virtual time one request takes (1 ms unless set).
    void setRequestLatencyMs(uint32_t ms);
    // Receives one line per request, answer and event.
    void setLog(std::function<void(const std::string&)> log);
    // Makes watch() fail, as a registration that cannot be made.
    void setWatchAvailable(bool available);

    TUSBDevises enumerateDevices(DeviceClass deviceClass) override;
    std::unique_ptr<IDeviceWatcher> watch(DeviceClass deviceClass) override;
    std::unique_ptr<IP2KDevice> openP2K(const std::string& devicePath) override;
    std::unique_ptr<IATPort> openATPort(const std::string& devicePath) override;
    IClock& clock() override;

private:
    std::shared_ptr<Bus> bus_;
};

} // namespace vexlon::phone::sim
