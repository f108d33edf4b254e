#include "phone/MotoP2KMode.h"

#include "phone/P2KBlocks.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <limits>
#include <vector>

namespace vexlon::phone {

namespace {

std::string hex4(uint16_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(value));
    return text;
}

constexpr std::size_t kSeemAnswerSize = 256;
constexpr std::size_t kModelBufferSize = 35;
constexpr std::size_t kFlexBufferSize = 96;
constexpr std::size_t kIMEIBufferSize = 255;
constexpr uint16_t kIMEIByteCount = 9;

int32_t clampToInt32(int64_t value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                     std::numeric_limits<int32_t>::max()));
}

// Runs the host's progress callback; an exception inside it is discarded
// and counts as "go on".
bool reportProgress(const TProgressCallback& progress, int64_t done, int64_t total)
{
    if (!progress)
        return true;
    try {
        return progress(clampToInt32(done), clampToInt32(total));
    } catch (...) {
        return true;
    }
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
    const auto sequence = static_cast<uint16_t>(commandCounter_ & 0xFFFF);
    const auto packet = p2k::buildCommandPacket(sequence, Command, Data);
    if (onExchangeEvent_)
        onExchangeEvent_(this, TP2KExchangeDirection::Sent, p2k::serialize(*packet));

    // A send that runs into its time-out still counts as sent.
    const RequestResult sent =
        device_->sendCommand(*packet, p2k::kSendOutputSize, p2k::kRequestTimeoutMs);
    if (sent.outcome == RequestOutcome::Failed)
        return false;

    IClock& clock = backend_.clock();
    const uint32_t deadline = clock.nowMs() + p2k::kPollWindowMs;
    const InputBlock statusQuery = p2k::buildStatusQuery();
    p2k::StatusInfo status;
    for (;;) {
        const RequestResult polled =
            device_->statusQuery(statusQuery, p2k::kReplyAreaSize, p2k::kRequestTimeoutMs);
        if (polled.outcome == RequestOutcome::Completed) {
            // Only the bytes of this poll count: a short block must not
            // borrow the answer size of an earlier one.
            status = p2k::parseStatusBlock(polled.output);
            if (status.ready()) {
                if (polled.output.size() < p2k::kStatusBlockSize) {
                    rejectAnswer("status block of " + std::to_string(polled.output.size()) + " bytes, "
                                 + std::to_string(p2k::kStatusBlockSize) + " needed");
                    return false;
                }
                break;
            }
        }
        // The tick counter wraps; compare by distance, not by value.
        if (static_cast<int32_t>(deadline - clock.nowMs()) < 0)
            return false;
    }
    clock.sleepMs(1);

    const RequestResult fetched =
        device_->answerFetch(p2k::buildAnswerFetch(status.answerCount, status.answerSize),
                             p2k::kReplyAreaSize, p2k::kRequestTimeoutMs);
    if (fetched.outcome != RequestOutcome::Completed)
        return false;

    // The answer must be whole and must answer this very command: a short
    // transfer would hand on bytes that never came, and the answer to
    // another command (an earlier one delivered late or twice) is not the
    // answer to this one.
    const std::span<const uint8_t> block =
        std::span<const uint8_t>(fetched.output).first(std::min(fetched.output.size(), p2k::kReplyAreaSize));
    const p2k::AnswerView answer = p2k::parseAnswerBlock(block);
    if (block.size() < p2k::kAnswerDataOffset || !answer.complete()) {
        rejectAnswer("answer block of " + std::to_string(block.size()) + " bytes, "
                     + std::to_string(std::max(answer.neededSize, p2k::kAnswerDataOffset)) + " needed");
        return false;
    }
    // Where a phone's answer repeats the command's sequence number and
    // code is not something every phone is known to do: the first whole
    // answer tells. A phone whose first answer repeats them is held to it
    // from then on; one whose first answer does not is never checked, so a
    // phone with another answer layout still works.
    if (!echoesHeader_) {
        echoesHeader_ = answer.sequence == sequence && answer.command == Command;
        if (!*echoesHeader_)
            DoDebug("Answers do not repeat the command's sequence number and code; they are not checked", dtInformation);
    }
    if (*echoesHeader_ && answer.sequence != sequence) {
        rejectAnswer("answer to sequence number " + hex4(answer.sequence) + ", " + hex4(sequence) + " sent");
        return false;
    }
    if (*echoesHeader_ && answer.command != Command) {
        rejectAnswer("answer to command " + hex4(answer.command) + ", " + hex4(Command) + " sent");
        return false;
    }
    const std::size_t delivered = std::min(answer.available.size(), Answer.size());
    std::copy_n(answer.available.begin(), delivered, Answer.begin());
    AnswerLength = answer.declaredLength;
    if (onExchangeEvent_)
        onExchangeEvent_(this, TP2KExchangeDirection::Delivered, Answer.first(delivered));
    return true;
}

void TMotoP2KModemItem::rejectAnswer(const std::string& why)
{
    DoDebug("Execute Command Failed - " + why, dtError);
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

// ---- services, built on ExecuteCommand ----
bool TMotoP2KModemItem::RestartPhone()
{
    if (!IsOpen())
        return false;
    std::array<uint8_t, 1> answer{};
    uint16_t length = 0;
    if (!ExecuteCommand(p2k::kCmdRestart, {}, answer, length)) {
        DoDebug("Restart Phone Failed", dtError);
        return false;
    }
    DoDebug("Restart Phone", dtInformation);
    return true;
}

bool TMotoP2KModemItem::ReadSeemPhone(uint16_t SeemNumber, uint16_t RecordNumber, uint16_t Offset,
                                      uint16_t ByteCount, std::span<uint8_t> Buffer,
                                      uint16_t& OutLength)
{
    if (!IsOpen())
        return false;
    const auto data = p2k::buildSeemRead(SeemNumber, RecordNumber, Offset, ByteCount);
    std::array<uint8_t, kSeemAnswerSize> answer{};
    uint16_t length = 0;
    if (!ExecuteCommand(p2k::kCmdSeemRead, data, answer, length)) {
        DoDebug("Read Seem Phone Failed - Error Read Command", dtError);
        return false;
    }
    if (answer[0] != 0 || length == 0 || length > kSeemAnswerSize) {
        DoDebug("Read Seem Phone Failed - Error Read Command: no seem or access denided", dtError);
        return false;
    }
    OutLength = static_cast<uint16_t>(length - 1);
    const std::size_t copied = std::min<std::size_t>(OutLength, Buffer.size());
    std::copy_n(answer.begin() + 1, copied, Buffer.begin());
    DoDebug("Read Seem Phone", dtInformation);
    return true;
}

std::string TMotoP2KModemItem::readSeemText(uint16_t seem, std::size_t bufferSize, const char* failed,
                                            const char* done)
{
    if (!IsOpen())
        return {};
    std::vector<uint8_t> buffer(bufferSize, 0);
    uint16_t length = 0;
    if (!ReadSeemPhone(seem, 1, 0, 0, buffer, length)) {
        DoDebug(failed, dtError);
        return {};
    }
    DoDebug(done, dtInformation);
    // Only the bytes that reached the buffer are looked at.
    const std::size_t delivered = std::min<std::size_t>(length, buffer.size());
    return p2k::decodeSeemText(std::span<const uint8_t>(buffer).first(delivered));
}

std::string TMotoP2KModemItem::GetPhoneModel()
{
    return readSeemText(p2k::kSeemModel, kModelBufferSize, "Get Phone Model Failed - Error Read Seem Phone",
                        "GetPhone Model");
}

std::string TMotoP2KModemItem::GetPhoneFlexVersion()
{
    return readSeemText(p2k::kSeemFlex, kFlexBufferSize, "Get Phone Flex version Failed - Error Read Seem Phone",
                        "Get Phone Flex version");
}

std::string TMotoP2KModemItem::GetPhoneIMEI()
{
    if (!IsOpen())
        return {};
    std::vector<uint8_t> buffer(kIMEIBufferSize, 0);
    uint16_t length = 0;
    if (!ReadSeemPhone(p2k::kSeemIMEI, 1, 0, kIMEIByteCount, buffer, length)) {
        DoDebug("Get Phone IMEI Failed - Error Read Seem Phone", dtError);
        return {};
    }
    const std::size_t delivered = std::min<std::size_t>(length, buffer.size());
    std::string imei = p2k::decodeIMEI(std::span<const uint8_t>(buffer).first(delivered));
    DoDebug("Get Phone IMEI", dtInformation);
    return imei;
}

bool TMotoP2KModemItem::FileOpenPhone(const std::string& FileName, uint8_t Attributes)
{
    if (FileName.size() > p2k::kMaxOpenNameLength) {
        DoDebug("File Open Phone Failed - File name isn`t normal", dtError);
        return false;
    }
    const auto attribute = p2k::openAttributeValue(Attributes);
    if (!attribute) {
        DoDebug("File Open Phone Failed - Attribute File isn`t normal", dtError);
        return false;
    }
    const auto data = p2k::buildFileOpen(*attribute, FileName);
    std::array<uint8_t, 1> answer{};
    uint16_t length = 0;
    if (!ExecuteCommand(p2k::kCmdFileSystem, data, answer, length)) {
        DoDebug("File Open Phone Failed - Error Read Command", dtError);
        return false;
    }
    // A non-zero status byte is the phone's refusal (no such file, a path
    // it cannot write, a full memory).
    if (length > 0 && answer[0] != 0) {
        DoDebug("File Open Phone Failed - Error Status", dtError);
        return false;
    }
    DoDebug("File Open Phone", dtInformation);
    return true;
}

int32_t TMotoP2KModemItem::FileReadPhone(std::span<uint8_t> Buffer, int32_t Count)
{
    int32_t length = 0;
    return readChunk(Buffer, Count, length) ? length : 0;
}

bool TMotoP2KModemItem::readChunk(std::span<uint8_t> buffer, int32_t count, int32_t& length)
{
    if (count < 0 || count > p2k::kMaxReadCount) {
        DoDebug("File Read Phone Failed - BuffSize isn`t normal (0 > Buffer Size > 4096)", dtError);
        return false;
    }
    const auto data = p2k::buildFileRead(static_cast<uint32_t>(count));
    // The answer area is the caller's buffer, no larger than the count asked.
    const std::size_t capacity = std::min<std::size_t>(static_cast<std::size_t>(count), buffer.size());
    uint16_t answerLength = 0;
    if (!ExecuteCommand(p2k::kCmdFileSystem, data, buffer.first(capacity), answerLength)) {
        DoDebug("File Read Phone Failed - Error Read Command", dtError);
        return false;
    }
    DoDebug("File Read Phone", dtInformation);
    length = answerLength;
    return true;
}

bool TMotoP2KModemItem::FileWritePhone(int32_t Count, std::span<const uint8_t> Buffer)
{
    // A count beyond the caller's buffer would send bytes that are not there.
    if (Count < 0 || Count > p2k::kMaxWriteCount || static_cast<std::size_t>(Count) > Buffer.size()) {
        DoDebug("File Write Phone Failed - BuffSize isn`t normal (0 > Buffer Size > 1024)", dtError);
        return false;
    }
    const auto data = p2k::buildFileWrite(Buffer.first(static_cast<std::size_t>(Count)));
    std::array<uint8_t, 1> answer{};
    uint16_t length = 0;
    if (!ExecuteCommand(p2k::kCmdFileSystem, data, answer, length)) {
        DoDebug("File Write Phone Failed - Error Read Command", dtError);
        return false;
    }
    if (length > 0 && answer[0] != 0) {
        DoDebug("File Write Phone Failed - Error Status", dtError);
        return false;
    }
    DoDebug("File Write Phone", dtInformation);
    return true;
}

bool TMotoP2KModemItem::FileClosePhone()
{
    const auto data = p2k::buildFileClose();
    std::array<uint8_t, 1> answer{};
    uint16_t length = 0;
    if (!ExecuteCommand(p2k::kCmdFileSystem, data, answer, length)) {
        DoDebug("File Close Phone Failed - Error Read Command", dtError);
        return false;
    }
    DoDebug("File Close Phone", dtInformation);
    return length == 0;
}

bool TMotoP2KModemItem::FileDownloadPhone(const std::string& PhoneFileName, std::vector<uint8_t>& Bytes,
                                          int32_t ChunkSize, int32_t Total, const TProgressCallback& Progress)
{
    Bytes.clear();
    if (!IsOpen()) {
        DoDebug("File Download Phone - Phone Not Open", dtError);
        return false;
    }
    if (PhoneFileName.empty() || PhoneFileName.size() > p2k::kMaxTransferNameLength) {
        DoDebug("File Download Phone - FileName not normal", dtError);
        return false;
    }
    if (!FileOpenPhone(PhoneFileName, p2k::kOpenForRead))
        return false;

    const bool openEnded = Total == 0;
    int64_t total = Total;
    bool complete = false;
    // A chunk above the read limit is refused by the read anyway, so the
    // buffer never needs to be larger than that limit.
    std::vector<uint8_t> buffer(
        static_cast<std::size_t>(std::clamp<int32_t>(ChunkSize, 0, p2k::kMaxReadCount)), 0);
    do {
        std::fill(buffer.begin(), buffer.end(), 0);
        int32_t n = 0;
        if (!readChunk(buffer, ChunkSize, n))
            break;
        // An empty answer is the end of the file; a one-byte answer is the
        // phone's error reply, not file data; more than asked is no answer
        // to this read.
        if (n == 0) {
            complete = openEnded;
            break;
        }
        if (n == 1 || n > ChunkSize) {
            DoDebug("File Download Phone Failed - Error Answer", dtError);
            break;
        }
        Bytes.insert(Bytes.end(), buffer.begin(), buffer.begin() + n);
        const auto done = static_cast<int64_t>(Bytes.size());
        if (!reportProgress(Progress, done, total)) {
            DoDebug("File Download Phone - Stopped", dtError);
            break;
        }
        if (openEnded)
            total = done + 1;
        else if (done >= total)
            complete = true;
    } while (static_cast<int64_t>(Bytes.size()) < total);

    FileClosePhone();
    DoDebug("File Download Phone", dtInformation);
    return complete;
}

bool TMotoP2KModemItem::FileUploadPhone(std::span<const uint8_t> Bytes, const std::string& PhoneFileName,
                                        int32_t ChunkSize, const TProgressCallback& Progress)
{
    if (!IsOpen()) {
        DoDebug("File Upload Phone - Phone Not Open", dtError);
        return false;
    }
    if (PhoneFileName.empty() || PhoneFileName.size() > p2k::kMaxTransferNameLength) {
        DoDebug("File Upload Phone - FileName not normal", dtError);
        return false;
    }
    const auto size = static_cast<int64_t>(Bytes.size());
    int64_t chunk = std::min<int64_t>(ChunkSize, size);

    if (!FileOpenPhone(PhoneFileName, 0))
        return false;

    int64_t sent = 0;
    while (sent < size) {
        if (size - sent < chunk)
            chunk = size - sent;
        if (chunk <= 0 || chunk > p2k::kMaxWriteCount)
            break;
        const auto piece = Bytes.subspan(static_cast<std::size_t>(sent), static_cast<std::size_t>(chunk));
        if (!FileWritePhone(static_cast<int32_t>(chunk), piece))
            break;
        sent += chunk;
        if (!reportProgress(Progress, sent, size))
            break;
    }

    // The phone stores the file when it is closed; a refused close loses it.
    const bool closed = FileClosePhone();
    DoDebug("File Upload Phone", dtInformation);
    return sent == size && closed;
}

} // namespace vexlon::phone
