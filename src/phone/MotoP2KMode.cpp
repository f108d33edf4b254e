#include "phone/MotoP2KMode.h"

#include "phone/P2KBlocks.h"

#include <algorithm>

namespace vexlon::phone {

namespace {

// The status and answer blocks land in one area that lives for the whole
// exchange; a block shorter than the area leaves the rest as it was.
void copyInto(std::vector<uint8_t>& area, const std::vector<uint8_t>& block)
{
    const std::size_t n = std::min(area.size(), block.size());
    std::copy_n(block.begin(), n, area.begin());
}

} // namespace

TMotoP2KModemItem::TMotoP2KModemItem(IDeviceBackend& backend, const TUSBDevise& info)
    : backend_(backend), modemInfo_(info)
{
}

TMotoP2KModemItem::~TMotoP2KModemItem()
{
    if (IsOpen()) {
        try {
            ClosePhone();
        } catch (...) {
        }
    }
}

void TMotoP2KModemItem::DoDebug(const std::string& Text, TDebugType DebugType, bool SubError)
{
    if (onDebugEvent_)
        onDebugEvent_(this, Text, DebugType, SubError);
}

bool TMotoP2KModemItem::OpenPhone()
{
    if (IsOpen())
        return true;
    try {
        device_ = backend_.openP2K(modemInfo_.DevicePath);
    } catch (...) {
        device_.reset();
    }
    if (!device_) {
        DoDebug("Open Phone Failed", dtError);
        return false;
    }
    DoDebug("Open Phone", dtInformation);
    return true;
}

bool TMotoP2KModemItem::ClosePhone()
{
    if (!device_ || !device_->close()) {
        DoDebug("Close Phone Failed", dtError);
        return false;
    }
    device_.reset();
    DoDebug("Close Phone", dtInformation);
    return true;
}

bool TMotoP2KModemItem::ExecuteCommand(uint16_t Command, std::span<const uint8_t> Data,
                                       std::span<uint8_t> Answer, uint16_t& AnswerLength)
{
    // Data that does not fit the packet area is never sent.
    if (Data.size() > p2k::kMaxCommandData)
        return false;
    ++commandCounter_;
    if (!device_)
        return false;
    const auto packet =
        p2k::buildCommandPacket(static_cast<uint16_t>(commandCounter_ & 0xFFFF), Command, Data);
    if (onExchangeEvent_)
        onExchangeEvent_(this, TP2KExchangeDirection::Sent, p2k::serialize(*packet));

    // A send that runs into its time-out still counts as sent.
    const RequestResult sent =
        device_->sendCommand(*packet, p2k::kSendOutputSize, p2k::kRequestTimeoutMs);
    if (sent.outcome == RequestOutcome::Failed)
        return false;

    IClock& clock = backend_.clock();
    const uint32_t deadline = clock.nowMs() + p2k::kPollWindowMs;
    std::vector<uint8_t> area(p2k::kReplyAreaSize, 0);
    const InputBlock statusQuery = p2k::buildStatusQuery();
    p2k::StatusInfo status;
    for (;;) {
        const RequestResult polled =
            device_->statusQuery(statusQuery, p2k::kReplyAreaSize, p2k::kRequestTimeoutMs);
        if (polled.outcome == RequestOutcome::Completed) {
            copyInto(area, polled.output);
            status = p2k::parseStatusBlock(area);
            if (status.ready())
                break;
        }
        // The tick counter wraps; compare by distance, not by value.
        if (static_cast<int32_t>(deadline - clock.nowMs()) < 0)
            return false;
    }
    clock.sleepMs(1);

    const RequestResult fetched =
        device_->answerFetch(p2k::buildAnswerFetch(status.answerCount, status.answerSize),
                             p2k::kReplyAreaSize, p2k::kRequestTimeoutMs);
    // An answer that could not be fetched is no answer: the area would
    // still hold the status block, not the phone's reply.
    if (fetched.outcome != RequestOutcome::Completed)
        return false;
    copyInto(area, fetched.output);

    const p2k::AnswerView answer = p2k::parseAnswerBlock(area);
    const std::size_t delivered = std::min(answer.available.size(), Answer.size());
    std::copy_n(answer.available.begin(), delivered, Answer.begin());
    AnswerLength = answer.declaredLength;
    if (onExchangeEvent_)
        onExchangeEvent_(this, TP2KExchangeDirection::Delivered, Answer.first(delivered));
    return true;
}

TMotoP2KMode::TMotoP2KMode(IDeviceBackend& backend)
    : TPortvelMode(backend, DeviceClass::P2KCommand, kDescriptionFilter)
{
}

TMotoP2KMode::~TMotoP2KMode() = default;

void TMotoP2KMode::SetOnExchange(TP2KExchangeEvent handler)
{
    onExchange_ = std::move(handler);
    AssignItemHandlers();
}

void TMotoP2KMode::AssignItemHandlers()
{
    TPortvelMode::AssignItemHandlers();
    for (int i = 0; i < DeviseList().Count(); ++i)
        DeviseList().Items(i)->SetOnExchangeEvent(onExchange_);
}

} // namespace vexlon::phone
