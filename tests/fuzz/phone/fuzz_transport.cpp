// Feeds arbitrary device answers to the P2K transport and the phone
// services through a scripted device access. The input is a script of
// request results, one per device request, in the order the requests are
// made:
//   tag (1 byte): bits 0-1 outcome (0 completed, 1 timed out, else failed)
//   length (2 bytes, big-endian), then that many output bytes (missing
//   bytes read as 0).
// When the script is used up every request fails and a second passes, so
// every loop of the transport comes to its end.
#include "phone/MotoP2KMode.h"
#include "phone/P2KBlocks.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>


using namespace vexlon::phone;

namespace {

class ScriptClock final : public IClock {
public:
    uint32_t nowMs() override { return now; }
    void sleepMs(uint32_t ms) override { now += ms; }
    uint32_t now = 0xFFFFF000u; // close to the wrap of the tick counter
};

class Script {
public:
    Script(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool done() const { return pos_ >= size_; }
    uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }

private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

class ScriptedDevice final : public IP2KDevice {
public:
    ScriptedDevice(Script& script, ScriptClock& clock) : script_(script), clock_(clock) {}
    RequestResult sendCommand(const InputBlock& input, std::size_t capacity, uint32_t timeoutMs) override
    {
        checkInput(input, p2k::kRequestTypeOut);
        return next(capacity, timeoutMs);
    }
    RequestResult statusQuery(const InputBlock& input, std::size_t capacity, uint32_t timeoutMs) override
    {
        checkInput(input, p2k::kRequestTypeIn);
        return next(capacity, timeoutMs);
    }
    RequestResult answerFetch(const InputBlock& input, std::size_t capacity, uint32_t timeoutMs) override
    {
        checkInput(input, p2k::kRequestTypeIn);
        return next(capacity, timeoutMs);
    }
    bool close() override { return true; }

private:
    static void checkInput(const InputBlock& input, uint8_t requestType)
    {
        if (input.setup.requestType != requestType || input.setup.index != p2k::kInterfaceIndex)
            __builtin_trap();
    }

    RequestResult next(std::size_t capacity, uint32_t timeoutMs)
    {
        clock_.now += 1;
        if (script_.done()) {
            clock_.now += 1000;
            return {};
        }
        const uint8_t tag = script_.byte();
        const std::size_t length = (std::size_t{script_.byte()} << 8) | script_.byte();
        RequestResult result;
        result.outcome = (tag & 3) == 0   ? RequestOutcome::Completed
                         : (tag & 3) == 1 ? RequestOutcome::TimedOut
                                          : RequestOutcome::Failed;
        if (result.outcome == RequestOutcome::TimedOut)
            clock_.now += timeoutMs;
        result.output.resize(length);
        for (auto& b : result.output)
            b = script_.byte();
        // A backend keeps to the offered capacity; a careless one may not.
        if ((tag & 0x80) == 0 && result.output.size() > capacity)
            result.output.resize(capacity);
        return result;
    }

    Script& script_;
    ScriptClock& clock_;
};

class ScriptedBackend final : public IDeviceBackend {
public:
    ScriptedBackend(const uint8_t* data, std::size_t size) : script_(data, size) {}
    TUSBDevises enumerateDevices(DeviceClass) override
    {
        TUSBDevise device;
        device.DevInst = 1;
        device.DevicePath = "scripted";
        device.DeviceDesc = "Motorola Test Command Interface";
        return {device};
    }
    std::unique_ptr<IDeviceWatcher> watch(DeviceClass) override { return nullptr; }
    std::unique_ptr<IP2KDevice> openP2K(const std::string&) override
    {
        return std::make_unique<ScriptedDevice>(script_, clock_);
    }
    std::unique_ptr<IATPort> openATPort(const std::string&) override { return nullptr; }
    IClock& clock() override { return clock_; }

private:
    Script script_;
    ScriptClock clock_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ScriptedBackend backend(data, size);
    TMotoP2KMode component(backend);
    TMotoP2KModemItem* item = component.DeviseList().Items(0);
    if (!item || !item->OpenPhone())
        return 0;

    std::array<uint8_t, 7> small{};
    uint16_t length = 0;
    item->ExecuteCommand(p2k::kCmdSeemRead, p2k::buildSeemRead(1, 1, 0, 0), small, length);
    item->GetPhoneModel();
    item->GetPhoneIMEI();
    item->GetPhoneFlexVersion();
    std::vector<uint8_t> buffer(4096);
    item->FileReadPhone(buffer, 100);
    std::vector<uint8_t> downloaded;
    item->FileDownloadPhone("/a/iTAP_User_Dictionary", downloaded, 4000, 0, {});
    const std::vector<uint8_t> upload(2500, 'u');
    item->FileUploadPhone(upload, "/a/iTAP_User_Dictionary", 1000, {});
    item->RestartPhone();
    return 0;
}
