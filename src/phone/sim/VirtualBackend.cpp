#include "phone/sim/VirtualBackend.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <deque>

#include <sys/eventfd.h>
#include <unistd.h>

namespace vexlon::phone::sim {

namespace {

constexpr uint32_t kBaudRate = 115200;

} // namespace

// ---- the bus: what the phones and the device objects share -------------------

struct WatchQueue {
    DeviceClass deviceClass;
    std::deque<DeviceChange> pending;
    int fd = -1;
};

class Bus final : public PhoneBus {
public:
    VirtualClock clock;
    uint32_t latencyMs = 1;
    std::function<void(const std::string&)> logger;
    bool watchAvailable = true;
    std::vector<std::unique_ptr<VirtualPhone>> phones;
    struct OtherDevice {
        int handle;
        std::string description;
    };
    std::vector<OtherDevice> others;
    int nextOther = 1;
    std::vector<std::weak_ptr<WatchQueue>> queues;
    std::vector<std::string> problems; // of the phones' set-up files

    void advanceClock(uint32_t ms) override { clock.advance(ms); }
    void log(const std::string& line) override
    {
        if (logger)
            logger(line);
    }

    // A device of the P2K interface class is also a USB device: AT-class
    // watchers hear of every change.
    void announce(bool p2kInterface, DeviceChange change) override
    {
        queues.erase(std::remove_if(queues.begin(), queues.end(),
                                    [](const auto& q) { return q.expired(); }),
                     queues.end());
        for (const auto& weak : queues) {
            auto queue = weak.lock();
            if (queue->deviceClass == DeviceClass::ATModem || p2kInterface) {
                queue->pending.push_back(change);
                const uint64_t one = 1;
                [[maybe_unused]] auto written = ::write(queue->fd, &one, sizeof one);
            }
        }
    }
};

namespace {

class SimWatcher final : public IDeviceWatcher {
public:
    explicit SimWatcher(std::shared_ptr<WatchQueue> queue) : queue_(std::move(queue)) {}
    ~SimWatcher() override { ::close(queue_->fd); }
    int fd() const override { return queue_->fd; }
    std::vector<DeviceChange> processPendingEvents() override
    {
        uint64_t count = 0;
        [[maybe_unused]] auto got = ::read(queue_->fd, &count, sizeof count);
        std::vector<DeviceChange> changes(queue_->pending.begin(), queue_->pending.end());
        queue_->pending.clear();
        return changes;
    }

private:
    std::shared_ptr<WatchQueue> queue_;
};

class SimP2KDevice final : public IP2KDevice {
public:
    SimP2KDevice(std::shared_ptr<Bus> bus, VirtualPhone& phone)
        : bus_(std::move(bus)), phone_(phone), generation_(phone.generation())
    {
    }
    RequestResult sendCommand(const InputBlock& input, std::size_t capacity,
                              uint32_t timeoutMs) override
    {
        if (!begin("send"))
            return {};
        return phone_.handleSend(input, capacity, timeoutMs);
    }
    RequestResult statusQuery(const InputBlock& input, std::size_t capacity,
                              uint32_t timeoutMs) override
    {
        if (!begin("status"))
            return {};
        return phone_.handleStatus(input, capacity, timeoutMs);
    }
    RequestResult answerFetch(const InputBlock& input, std::size_t capacity,
                              uint32_t timeoutMs) override
    {
        if (!begin("fetch"))
            return {};
        return phone_.handleFetch(input, capacity, timeoutMs);
    }
    bool close() override { return true; }

private:
    bool begin(const char* what)
    {
        bus_->clock.advance(bus_->latencyMs);
        if (phone_.attachedAs(PhoneMode::P2K, generation_))
            return true;
        bus_->log("phone" + std::to_string(phone_.id()) + " " + what + ": not on the bus");
        return false;
    }

    std::shared_ptr<Bus> bus_;
    VirtualPhone& phone_;
    uint32_t generation_;
};

class SimATPort final : public IATPort {
public:
    SimATPort(std::shared_ptr<Bus> bus, VirtualPhone& phone)
        : bus_(std::move(bus)), phone_(phone), generation_(phone.generation())
    {
    }
    std::optional<uint32_t> baudRate() override
    {
        if (phone_.atPort().failState || !present())
            return std::nullopt;
        return kBaudRate;
    }
    std::optional<PortTimeouts> getTimeouts() override
    {
        if (!present())
            return std::nullopt;
        return phone_.portGetTimeouts();
    }
    bool setTimeouts(const PortTimeouts& timeouts) override
    {
        return present() && phone_.portSetTimeouts(timeouts);
    }
    std::optional<std::size_t> write(std::span<const uint8_t> bytes) override
    {
        if (!present())
            return std::nullopt;
        return phone_.handleATWrite(bytes);
    }
    bool close() override { return true; }

private:
    bool present() const { return phone_.attachedAs(PhoneMode::AT, generation_); }

    std::shared_ptr<Bus> bus_;
    VirtualPhone& phone_;
    uint32_t generation_;
};

} // namespace

// ---- VirtualBackend ------------------------------------------------------------

VirtualBackend::VirtualBackend() : bus_(std::make_shared<Bus>()) {}

VirtualBackend::~VirtualBackend() = default;

VirtualPhone& VirtualBackend::addPhone(PhoneMode mode, std::shared_ptr<IPhoneStorage> storage)
{
    if (!storage)
        storage = std::make_shared<MemoryStorage>();
    const int id = static_cast<int>(bus_->phones.size()) + 1;
    bus_->phones.push_back(std::make_unique<VirtualPhone>(*bus_, id, std::move(storage)));
    VirtualPhone& phone = *bus_->phones.back();
    phone.plugIn(mode);
    return phone;
}

VirtualPhone& VirtualBackend::addConfiguredPhone(std::shared_ptr<IPhoneStorage> storage)
{
    std::vector<std::string> problems;
    PhoneMode mode = PhoneMode::P2K;
    if (const auto text = readFirstLine(*storage, ".phone/mode")) {
        std::string word = *text;
        std::transform(word.begin(), word.end(), word.begin(),
                       [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
        if (word == "AT")
            mode = PhoneMode::AT;
        else if (word == "NONE")
            mode = PhoneMode::Detached;
        else if (word != "P2K")
            problems.push_back(".phone/mode: \"" + *text + "\" is not AT, P2K or none; the phone is attached in P2K mode");
    }
    std::optional<std::size_t> limit;
    if (const auto text = readFirstLine(*storage, ".phone/storage")) {
        char* end = nullptr;
        const unsigned long long bytes = std::strtoull(text->c_str(), &end, 10);
        if (!text->empty() && std::isdigit(static_cast<unsigned char>(text->front())) && end && *end == '\0')
            limit = static_cast<std::size_t>(bytes);
        else
            problems.push_back(".phone/storage: \"" + *text + "\" is no number of bytes; the storage has no limit");
    }
    FaultFile faults;
    if (const auto bytes = storage->read(".phone/faults")) {
        faults = parseFaultFile(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
        for (const std::string& problem : faults.problems)
            problems.push_back(".phone/faults " + problem + "; the line is not armed");
    }
    VirtualPhone& phone = addPhone(mode, std::move(storage));
    phone.setStorageLimit(limit);
    for (const Fault& fault : faults.faults)
        phone.injectFault(fault);
    for (const std::string& problem : problems) {
        bus_->log("phone" + std::to_string(phone.id()) + " set-up: " + problem);
        bus_->problems.push_back(problem);
    }
    return phone;
}

const std::vector<std::string>& VirtualBackend::configurationProblems() const { return bus_->problems; }

int VirtualBackend::phoneCount() const { return static_cast<int>(bus_->phones.size()); }

VirtualPhone& VirtualBackend::phone(int index)
{
    return *bus_->phones.at(static_cast<std::size_t>(index));
}

int VirtualBackend::plugInOtherDevice(const std::string& description)
{
    const int handle = bus_->nextOther++;
    bus_->others.push_back({handle, description});
    bus_->announce(false, DeviceChange::Arrival);
    return handle;
}

void VirtualBackend::unplugOtherDevice(int handle)
{
    auto& others = bus_->others;
    const auto it = std::find_if(others.begin(), others.end(),
                                 [handle](const auto& o) { return o.handle == handle; });
    if (it == others.end())
        return;
    others.erase(it);
    bus_->announce(false, DeviceChange::Removal);
}

VirtualClock& VirtualBackend::virtualClock() { return bus_->clock; }

void VirtualBackend::setRequestLatencyMs(uint32_t ms) { bus_->latencyMs = ms; }

void VirtualBackend::setLog(std::function<void(const std::string&)> log)
{
    bus_->logger = std::move(log);
}

void VirtualBackend::setWatchAvailable(bool available) { bus_->watchAvailable = available; }

TUSBDevises VirtualBackend::enumerateDevices(DeviceClass deviceClass)
{
    TUSBDevises devices;
    for (const auto& phone : bus_->phones) {
        const PhoneMode mode = phone->mode();
        if (mode == PhoneMode::Detached)
            continue;
        TUSBDevise d;
        d.DevInst = phone->devInst();
        d.DevicePath = phone->devicePath();
        d.Mfg = "Motorola";
        if (deviceClass == DeviceClass::P2KCommand) {
            if (mode != PhoneMode::P2K)
                continue;
            d.DeviceDesc = "Motorola Test Command Interface (virtual phone)";
        } else {
            d.DeviceDesc = mode == PhoneMode::AT ? "Motorola USB Modem (virtual phone)"
                                                 : "Motorola Phone (virtual phone, P2K mode)";
        }
        devices.push_back(std::move(d));
    }
    if (deviceClass == DeviceClass::ATModem) {
        for (const auto& other : bus_->others) {
            TUSBDevise d;
            d.DevInst = 0x20000000u | static_cast<uint32_t>(other.handle);
            d.DevicePath = "sim:device" + std::to_string(other.handle);
            d.DeviceDesc = other.description;
            devices.push_back(std::move(d));
        }
    }
    return devices;
}

std::unique_ptr<IDeviceWatcher> VirtualBackend::watch(DeviceClass deviceClass)
{
    if (!bus_->watchAvailable)
        return nullptr;
    auto queue = std::make_shared<WatchQueue>();
    queue->deviceClass = deviceClass;
    queue->fd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (queue->fd < 0)
        return nullptr;
    bus_->queues.push_back(queue);
    return std::make_unique<SimWatcher>(queue);
}

std::unique_ptr<IP2KDevice> VirtualBackend::openP2K(const std::string& devicePath)
{
    for (const auto& phone : bus_->phones) {
        if (phone->mode() == PhoneMode::P2K && phone->devicePath() == devicePath)
            return std::make_unique<SimP2KDevice>(bus_, *phone);
    }
    bus_->log("open failed: " + devicePath);
    return nullptr;
}

std::unique_ptr<IATPort> VirtualBackend::openATPort(const std::string& devicePath)
{
    for (const auto& phone : bus_->phones) {
        if (phone->mode() == PhoneMode::AT && phone->devicePath() == devicePath) {
            if (phone->atPort().failOpen)
                break;
            return std::make_unique<SimATPort>(bus_, *phone);
        }
    }
    bus_->log("open failed: " + devicePath);
    return nullptr;
}

IClock& VirtualBackend::clock() { return bus_->clock; }

} // namespace vexlon::phone::sim
