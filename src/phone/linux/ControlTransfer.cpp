#include "phone/linux/ControlTransfer.h"

#include <algorithm>

namespace vexlon::phone::lnx {

namespace {

constexpr uint8_t kDirectionIn = 0x80;
constexpr uint8_t kTypeMask = 0x60;
constexpr uint8_t kTypeVendor = 0x40;

const char* kindName(RequestKind kind)
{
    switch (kind) {
    case RequestKind::Command:
        return "command packet";
    case RequestKind::Status:
        return "status query";
    case RequestKind::Fetch:
        return "answer fetch";
    }
    return "request";
}

TransferPlan refuse(RequestKind kind, const std::string& why)
{
    return {std::nullopt, std::string(kindName(kind)) + " refused: " + why};
}

} // namespace

TransferPlan planTransfer(RequestKind kind, const InputBlock& input, std::size_t outputCapacity)
{
    const SetupBlock& setup = input.setup;
    if ((setup.requestType & kTypeMask) != kTypeVendor)
        return refuse(kind, "not a vendor request");
    const bool in = (setup.requestType & kDirectionIn) != 0;
    if (in != (kind != RequestKind::Command))
        return refuse(kind, in ? "device-to-host request where one is sent"
                               : "host-to-device request where one is read");

    ControlTransfer transfer;
    transfer.requestType = setup.requestType;
    transfer.request = setup.request;
    transfer.value = setup.value;
    transfer.index = setup.index;
    transfer.deviceToHost = in;
    if (in) {
        transfer.length = static_cast<uint16_t>(std::min<std::size_t>(setup.length, outputCapacity));
    } else {
        if (input.data.size() < setup.length)
            return refuse(kind, "data stage of " + std::to_string(setup.length) + " bytes but only "
                                    + std::to_string(input.data.size()) + " given");
        transfer.length = setup.length;
        transfer.outData.assign(input.data.begin(), input.data.begin() + setup.length);
    }
    return {std::move(transfer), {}};
}

P2KDevice::P2KDevice(std::unique_ptr<ControlPipe> pipe, ReportFn report)
    : m_pipe(std::move(pipe)), m_report(std::move(report))
{
}

P2KDevice::~P2KDevice()
{
    if (m_pipe)
        m_pipe->close();
}

RequestResult P2KDevice::sendCommand(const InputBlock& input, std::size_t outputCapacity,
                                     uint32_t timeoutMs)
{
    return execute(RequestKind::Command, input, outputCapacity, timeoutMs);
}

RequestResult P2KDevice::statusQuery(const InputBlock& input, std::size_t outputCapacity,
                                     uint32_t timeoutMs)
{
    return execute(RequestKind::Status, input, outputCapacity, timeoutMs);
}

RequestResult P2KDevice::answerFetch(const InputBlock& input, std::size_t outputCapacity,
                                     uint32_t timeoutMs)
{
    return execute(RequestKind::Fetch, input, outputCapacity, timeoutMs);
}

bool P2KDevice::close()
{
    if (!m_pipe)
        return true;
    if (!m_pipe->close())
        return false;
    m_pipe.reset();
    return true;
}

RequestResult P2KDevice::execute(RequestKind kind, const InputBlock& input, std::size_t outputCapacity,
                                 uint32_t timeoutMs)
{
    RequestResult result;
    if (!m_pipe) {
        report(std::string(kindName(kind)) + " on a closed device");
        return result;
    }
    const TransferPlan plan = planTransfer(kind, input, outputCapacity);
    if (!plan.transfer) {
        report(plan.refusal);
        return result;
    }
    const ControlTransfer& transfer = *plan.transfer;
    std::vector<uint8_t> received(transfer.deviceToHost ? transfer.length : 0);
    // A time-out of 0 would mean "wait for ever" to the USB stack.
    const PipeResult piped = m_pipe->run(transfer, received, std::max<uint32_t>(timeoutMs, 1));
    switch (piped.status) {
    case PipeResult::Status::Done:
        m_lastReport.clear();
        result.outcome = RequestOutcome::Completed;
        if (transfer.deviceToHost) {
            received.resize(std::min(piped.transferred, received.size()));
            result.output = std::move(received);
        }
        break;
    case PipeResult::Status::TimedOut:
        result.outcome = RequestOutcome::TimedOut;
        report(std::string(kindName(kind)) + " timed out");
        break;
    case PipeResult::Status::Failed:
        result.outcome = RequestOutcome::Failed;
        report(std::string(kindName(kind)) + " failed: " + piped.error);
        break;
    }
    return result;
}

// The transport polls in a tight loop: a device that has gone fails every
// poll at once, so a failure is reported once until a request succeeds again.
void P2KDevice::report(const std::string& text)
{
    if (text == m_lastReport)
        return;
    m_lastReport = text;
    if (m_report)
        m_report(text);
}

} // namespace vexlon::phone::lnx
