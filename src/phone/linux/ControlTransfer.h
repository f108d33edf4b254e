// One P2K device request as one USB control transfer.
//
// Every request the transport makes (command packet out, status query in,
// answer fetch in) carries the setup block of a vendor control transfer on
// the phone's interface. Here it is carried out exactly so: the setup fields
// go to the control transfer unchanged, the direction comes from bit 7 of
// bmRequestType, a host-to-device transfer sends the first wLength bytes that
// follow the setup block, and the data a device-to-host transfer reads back
// is the output block, from its first byte on. So status byte 5, status
// bytes 6-7, answer bytes 14-15 and the answer data from byte 18 on are the
// bytes at those places of what the phone sends.
//
// planTransfer() and the ControlPipe-based P2KDevice hold all of that; only
// LibusbPipe touches libusb.
#pragma once

#include "phone/DeviceAccess.h"
#include "phone/linux/Report.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vexlon::phone::lnx {

enum class RequestKind { Command, Status, Fetch };

struct ControlTransfer {
    uint8_t requestType = 0;
    uint8_t request = 0;
    uint16_t value = 0;
    uint16_t index = 0;
    uint16_t length = 0;             // bytes of the data stage
    bool deviceToHost = false;
    std::vector<uint8_t> outData;    // host to device: the bytes sent

    bool operator==(const ControlTransfer&) const = default;
};

struct TransferPlan {
    std::optional<ControlTransfer> transfer;  // nullopt: refused
    std::string refusal;                      // why, when refused
};

// Maps one request to its control transfer. Refused:
//  - a request type that is not a vendor request (only vendor requests
//    belong to the phone's command interface; standard and class requests
//    would reach the device's own configuration);
//  - a direction other than the request kind's (commands go out, status
//    queries and answer fetches come in);
//  - a host-to-device block whose wLength is more than the bytes it carries.
// A device-to-host transfer never reads more than the output area offered:
// its length is wLength or the output capacity, whichever is smaller.
TransferPlan planTransfer(RequestKind kind, const InputBlock& input, std::size_t outputCapacity);

// The platform side of one control transfer.
struct PipeResult {
    enum class Status { Done, TimedOut, Failed } status = Status::Failed;
    std::size_t transferred = 0;  // bytes of the data stage actually moved
    std::string error;            // what went wrong, for the report
};

class ControlPipe {
public:
    virtual ~ControlPipe() = default;
    // Runs the transfer; for device-to-host, `data` has room for
    // transfer.length bytes and receives what the device sends.
    virtual PipeResult run(const ControlTransfer& transfer, std::span<uint8_t> data,
                           uint32_t timeoutMs) = 0;
    virtual bool close() = 0;
};

// An opened P2K command interface over any control pipe.
class P2KDevice final : public IP2KDevice {
public:
    P2KDevice(std::unique_ptr<ControlPipe> pipe, ReportFn report);
    ~P2KDevice() override;

    RequestResult sendCommand(const InputBlock& input, std::size_t outputCapacity,
                              uint32_t timeoutMs) override;
    RequestResult statusQuery(const InputBlock& input, std::size_t outputCapacity,
                              uint32_t timeoutMs) override;
    RequestResult answerFetch(const InputBlock& input, std::size_t outputCapacity,
                              uint32_t timeoutMs) override;
    bool close() override;

private:
    RequestResult execute(RequestKind kind, const InputBlock& input, std::size_t outputCapacity,
                          uint32_t timeoutMs);
    void report(const std::string& text);

    std::unique_ptr<ControlPipe> m_pipe;
    ReportFn m_report;
    std::string m_lastReport;
};

} // namespace vexlon::phone::lnx
