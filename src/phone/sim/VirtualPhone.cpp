#include "phone/sim/VirtualPhone.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace vexlon::phone::sim {

namespace {

constexpr std::size_t kAnswerHeaderSize = 12; // announced size = header + data
constexpr uint8_t kOk = 0x00;
constexpr uint8_t kError = 0x01;

constexpr const char* kDefaultModel = "MOTORAZR V3";
constexpr std::size_t kModelRecordSize = 34;
constexpr const char* kDefaultFlex = "R374_G_0E.30.49R";
constexpr std::size_t kFlexRecordSize = 64;
constexpr const char* kDefaultIMEI = "350000123456788";

std::string hex4(uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04x", value);
    return text;
}

std::vector<uint8_t> textRecord(const std::string& text, std::size_t size, uint8_t fill)
{
    std::vector<uint8_t> record(text.begin(), text.end());
    if (record.size() < size)
        record.resize(size, fill);
    return record;
}

// The 9-byte IMEI record: 08, then the first digit in the high nibble of
// byte 1 (low nibble 0xA), then two digits per byte, low nibble first.
std::vector<uint8_t> imeiRecord(std::string digits)
{
    if (digits.size() == 14)
        digits.push_back('0');
    std::vector<uint8_t> record(9, 0);
    record[0] = 8;
    auto d = [&digits](std::size_t i) { return static_cast<uint8_t>(digits[i] - '0'); };
    record[1] = static_cast<uint8_t>((d(0) << 4) | 0x0A);
    for (std::size_t k = 2; k <= 8; ++k)
        record[k] = static_cast<uint8_t>((d(2 * k - 2) << 4) | d(2 * k - 3));
    return record;
}

bool allDigits(const std::string& text)
{
    return !text.empty()
           && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

RequestResult result(RequestOutcome outcome, std::vector<uint8_t> output, std::size_t capacity)
{
    if (output.size() > capacity)
        output.resize(capacity);
    return {outcome, std::move(output)};
}

// The storage name of a phone file name: "/a//b" is "a/b". None for a name
// not starting with "/", naming no file, or with a "." or ".." part.
std::optional<std::string> storageName(const std::string& phoneName)
{
    if (phoneName.empty() || phoneName.front() != '/')
        return std::nullopt;
    std::string name;
    std::size_t start = 1;
    while (start <= phoneName.size()) {
        std::size_t end = phoneName.find('/', start);
        if (end == std::string::npos)
            end = phoneName.size();
        const std::string part = phoneName.substr(start, end - start);
        if (part == "." || part == ".." || part.find('\0') != std::string::npos)
            return std::nullopt;
        if (!part.empty())
            name += (name.empty() ? "" : "/") + part;
        start = end + 1;
    }
    if (name.empty())
        return std::nullopt;
    return name;
}

} // namespace

// ---- VirtualPhone ------------------------------------------------------------

VirtualPhone::VirtualPhone(PhoneBus& bus, int id, std::shared_ptr<IPhoneStorage> storage)
    : bus_(bus), id_(id), storage_(std::move(storage))
{
}

VirtualPhone::~VirtualPhone() = default;

uint32_t VirtualPhone::devInst() const
{
    return 0x10000000u | (static_cast<uint32_t>(id_ & 0xFFF) << 16)
           | ((generation_ & 0x7FFFu) << 1) | (mode_ == PhoneMode::P2K ? 1u : 0u);
}

std::string VirtualPhone::devicePath() const
{
    return "sim:phone" + std::to_string(id_) + ":" + std::to_string(generation_)
           + (mode_ == PhoneMode::P2K ? ":p2k" : ":modem");
}

void VirtualPhone::log(const std::string& line) const
{
    bus_.log("phone" + std::to_string(id_) + " " + line);
}

bool VirtualPhone::attachedAs(PhoneMode mode, uint32_t generation) const
{
    return mode_ == mode && generation_ == generation;
}

void VirtualPhone::attach(PhoneMode mode)
{
    ++generation_;
    mode_ = mode;
    if (mode == PhoneMode::AT)
        modemOutput_.clear(); // a new modem line starts quiet
    log(mode == PhoneMode::P2K ? "arrives in P2K mode" : "arrives in AT mode");
    bus_.announce(mode == PhoneMode::P2K, DeviceChange::Arrival);
}

void VirtualPhone::detach()
{
    if (mode_ == PhoneMode::Detached)
        return;
    const bool wasP2K = mode_ == PhoneMode::P2K;
    mode_ = PhoneMode::Detached;
    file_.reset();
    answers_.clear();
    current_.reset();
    lastFetched_.reset();
    repeatNext_.reset();
    restartAfterFetch_ = false;
    atLine_.clear();
    switchPending_ = false;
    log("leaves the bus");
    bus_.announce(wasP2K, DeviceChange::Removal);
}

void VirtualPhone::plugIn(PhoneMode mode)
{
    detach();
    if (mode != PhoneMode::Detached)
        attach(mode);
}

void VirtualPhone::unplug() { detach(); }

void VirtualPhone::injectFault(const Fault& fault) { faults_.push_back(fault); }

void VirtualPhone::clearFaults()
{
    faults_.clear();
    current_.reset();
}

// The first armed fault that matches, once its `after` count has passed;
// a fault whose `repeat` count is used up is disarmed.
std::optional<Fault> VirtualPhone::takeMatching(const std::function<bool(const Fault&)>& matches)
{
    for (auto it = faults_.begin(); it != faults_.end(); ++it) {
        Fault& f = *it;
        if (!matches(f))
            continue;
        if (f.skip > 0) {
            --f.skip;
            continue;
        }
        Fault taken = f;
        if (f.times > 0 && --f.times == 0)
            faults_.erase(it);
        return taken;
    }
    return std::nullopt;
}

std::optional<Fault> VirtualPhone::takeFault(const p2k::CommandPacket& packet)
{
    const bool fileWrite =
        packet.command == p2k::kCmdFileSystem && p2k::readBE32(packet.data, 0) == p2k::kFsWrite;
    return takeMatching([&](const Fault& f) {
        return f.kind != FaultKind::ATReply && (!f.command || *f.command == packet.command)
               && (!f.subcommand || p2k::readBE32(packet.data, 0) == *f.subcommand)
               && (f.kind != FaultKind::CorruptStore || f.command || fileWrite);
    });
}

std::optional<Fault> VirtualPhone::takeATFault()
{
    return takeMatching([](const Fault& f) { return f.kind == FaultKind::ATReply; });
}

RequestResult VirtualPhone::handleSend(const InputBlock& input, std::size_t capacity,
                                       uint32_t timeoutMs)
{
    const auto packet = p2k::parseCommandPacket(input);
    if (!packet) {
        ++malformed_;
        log("send: malformed packet " + p2k::toHex(p2k::serialize(input)));
        return {};
    }
    // A new command supersedes an answer nobody fetched.
    answers_.clear();
    current_.reset();
    restartAfterFetch_ = false;

    const auto fault = takeFault(*packet);
    RequestOutcome outcome = RequestOutcome::Completed;
    if (fault) {
        switch (fault->kind) {
        case FaultKind::FailSend:
            log("send: told to fail");
            return {};
        case FaultKind::DropAtSend:
            log("send: drops off the bus");
            detach();
            return {};
        case FaultKind::TimeOutSend:
            bus_.advanceClock(timeoutMs);
            outcome = RequestOutcome::TimedOut;
            break;
        default:
            break;
        }
    }
    log("send seq=" + hex4(packet->sequence) + " cmd=" + hex4(packet->command)
        + " data=" + p2k::toHex(packet->data));
    commands_.push_back(*packet);
    std::vector<uint8_t> data;
    if (fault && fault->kind == FaultKind::ErrorStatus) {
        log("answers an error status instead");
        data = {kError};
    } else {
        data = runCommand(*packet, fault);
    }
    Answer answer{packet->sequence, packet->command, std::move(data)};
    if (fault) {
        switch (fault->kind) {
        case FaultKind::CorruptAnswer:
            if (!answer.data.empty()) {
                const std::size_t at = std::min(fault->offset, answer.data.size() - 1);
                answer.data[at] = static_cast<uint8_t>(~answer.data[at]);
                log("alters answer byte " + std::to_string(at));
            }
            break;
        case FaultKind::WrongSequence:
            ++answer.sequence;
            log("answers with sequence number " + hex4(answer.sequence));
            break;
        case FaultKind::WrongCommand:
            ++answer.command;
            log("answers with command code " + hex4(answer.command));
            break;
        case FaultKind::StaleAnswer:
            if (lastFetched_) {
                answer = *lastFetched_;
                log("will deliver the previous answer again");
            } else {
                log("has no previous answer to deliver");
            }
            break;
        default:
            break;
        }
    }
    answers_.push_back(std::move(answer));
    // An answer told to come twice is still waiting, ahead of this one.
    if (repeatNext_) {
        answers_.push_front(std::move(*repeatNext_));
        repeatNext_.reset();
    }
    current_ = fault;
    if (fault && fault->kind == FaultKind::DropAtStatus) {
        log("drops off the bus before announcing its answer");
        detach();
    }
    return result(outcome, std::vector<uint8_t>(p2k::kSendOutputSize, 0), capacity);
}

RequestResult VirtualPhone::handleStatus(const InputBlock& input, std::size_t capacity,
                                         uint32_t timeoutMs)
{
    if (input != p2k::buildStatusQuery()) {
        ++malformed_;
        log("status: malformed query " + p2k::toHex(p2k::serialize(input)));
        return {};
    }
    uint8_t count = answers_.empty() ? 0 : 1;
    uint16_t size = 0;
    if (!answers_.empty())
        size = static_cast<uint16_t>(kAnswerHeaderSize + answers_.front().data.size());
    if (current_) {
        switch (current_->kind) {
        case FaultKind::FailStatus:
            return {};
        case FaultKind::TimeOutStatus:
            bus_.advanceClock(timeoutMs);
            return {RequestOutcome::TimedOut, {}};
        case FaultKind::NeverAnnounce:
            count = 0;
            break;
        case FaultKind::AnnounceCount:
            count = current_->count;
            break;
        case FaultKind::DeclareLength:
            size = static_cast<uint16_t>(kAnswerHeaderSize + current_->declaredLength);
            break;
        default:
            break;
        }
    }
    std::vector<uint8_t> block(p2k::kStatusBlockSize, 0);
    block[p2k::kStatusCountOffset] = count;
    block[p2k::kStatusSizeOffset] = static_cast<uint8_t>(size >> 8);
    block[p2k::kStatusSizeOffset + 1] = static_cast<uint8_t>(size & 0xFF);
    if (current_ && current_->kind == FaultKind::ShortStatus) {
        block.resize(std::min(block.size(), current_->bytes.value_or(6)));
        log("status: delivers " + std::to_string(block.size()) + " bytes");
    }
    return result(RequestOutcome::Completed, std::move(block), capacity);
}

RequestResult VirtualPhone::handleFetch(const InputBlock& input, std::size_t capacity,
                                        uint32_t timeoutMs)
{
    if (answers_.empty()) {
        log("fetch: nothing to fetch");
        return {};
    }
    uint8_t count = 1;
    uint16_t declared = static_cast<uint16_t>(answers_.front().data.size());
    if (current_) {
        switch (current_->kind) {
        case FaultKind::FailFetch:
            log("fetch: told to fail");
            return {};
        case FaultKind::DropAtFetch:
            log("fetch: drops off the bus");
            detach();
            return {};
        case FaultKind::TimeOutFetch:
            bus_.advanceClock(timeoutMs);
            return {RequestOutcome::TimedOut, {}};
        case FaultKind::AnnounceCount:
            count = current_->count;
            break;
        case FaultKind::DeclareLength:
            declared = current_->declaredLength;
            break;
        default:
            break;
        }
    }
    const auto size = static_cast<uint16_t>(kAnswerHeaderSize + declared);
    if (input != p2k::buildAnswerFetch(count, size)) {
        ++malformed_;
        log("fetch: unexpected request " + p2k::toHex(p2k::serialize(input)));
        return {};
    }
    Answer answer = std::move(answers_.front());
    answers_.pop_front();
    std::vector<uint8_t> block(p2k::kAnswerDataOffset + answer.data.size(), 0);
    const auto put16 = [&block](std::size_t at, uint16_t value) {
        block[at] = static_cast<uint8_t>(value >> 8);
        block[at + 1] = static_cast<uint8_t>(value & 0xFF);
    };
    put16(p2k::kAnswerSequenceOffset, answer.sequence);
    put16(p2k::kAnswerCommandOffset, answer.command);
    put16(p2k::kAnswerLengthOffset, declared);
    std::copy(answer.data.begin(), answer.data.end(), block.begin() + p2k::kAnswerDataOffset);
    if (answer.data.size() < declared)
        block.resize(std::min<std::size_t>(p2k::kAnswerDataOffset + declared, capacity), 0xEE);
    log("fetch seq=" + hex4(answer.sequence) + " length=" + std::to_string(declared)
        + " data=" + p2k::toHex(answer.data));
    if (current_ && current_->kind == FaultKind::ShortFetch) {
        block.resize(std::min(block.size(), current_->bytes.value_or(block.size() - 1)));
        log("fetch: delivers " + std::to_string(block.size()) + " bytes");
    }
    if (current_ && current_->kind == FaultKind::RepeatAnswer) {
        log("will deliver this answer again");
        repeatNext_ = answer;
    }
    lastFetched_ = std::move(answer);
    current_.reset();
    if (restartAfterFetch_) {
        restartAfterFetch_ = false;
        ++restarts_;
        log("restarts");
        detach();
        attach(PhoneMode::P2K);
    }
    return result(RequestOutcome::Completed, std::move(block), capacity);
}

std::vector<uint8_t> VirtualPhone::runCommand(const p2k::CommandPacket& packet,
                                              const std::optional<Fault>& fault)
{
    switch (packet.command) {
    case p2k::kCmdSeemRead:
        return runSeemRead(packet.data);
    case p2k::kCmdRestart:
        restartAfterFetch_ = true;
        return {kOk};
    case p2k::kCmdFileSystem:
        return runFileSystem(packet.data, fault);
    default:
        return {0xFF};
    }
}

std::optional<std::vector<uint8_t>> VirtualPhone::seemRecord(uint16_t seem, uint16_t record) const
{
    if (auto raw = storage_->read(".phone/seem/" + hex4(seem) + "_" + hex4(record) + ".bin"))
        return raw;
    if (record != 1)
        return std::nullopt;
    switch (seem) {
    case p2k::kSeemModel:
        return textRecord(readFirstLine(*storage_, ".phone/model").value_or(kDefaultModel),
                          kModelRecordSize, 0x00);
    case p2k::kSeemFlex:
        return textRecord(readFirstLine(*storage_, ".phone/flex").value_or(kDefaultFlex),
                          kFlexRecordSize, 0xFF);
    case p2k::kSeemIMEI: {
        std::string imei = readFirstLine(*storage_, ".phone/imei").value_or(kDefaultIMEI);
        if (!allDigits(imei) || (imei.size() != 15 && imei.size() != 14))
            imei = kDefaultIMEI;
        return imeiRecord(imei);
    }
    default:
        return std::nullopt;
    }
}

std::vector<uint8_t> VirtualPhone::runSeemRead(std::span<const uint8_t> data)
{
    if (data.size() != 8)
        return {kError};
    const uint16_t seem = p2k::readBE16(data, 0);
    const uint16_t record = p2k::readBE16(data, 2);
    const uint16_t offset = p2k::readBE16(data, 4);
    const uint16_t count = p2k::readBE16(data, 6);
    const auto bytes = seemRecord(seem, record);
    if (!bytes || offset > bytes->size())
        return {kError};
    std::size_t end = bytes->size();
    if (count != 0)
        end = std::min<std::size_t>(end, std::size_t{offset} + count);
    std::vector<uint8_t> answer{kOk};
    answer.insert(answer.end(), bytes->begin() + offset,
                  bytes->begin() + static_cast<std::ptrdiff_t>(end));
    return answer;
}

std::vector<uint8_t> VirtualPhone::runFileSystem(std::span<const uint8_t> data,
                                                 const std::optional<Fault>& fault)
{
    if (data.size() < 4)
        return {kError};
    const uint32_t sub = p2k::readBE32(data, 0);
    switch (sub) {
    case p2k::kFsOpen: {
        if (data.size() < 8)
            return {kError};
        file_.reset();
        const uint32_t attribute = p2k::readBE32(data, 4);
        const std::string phoneName(data.begin() + 8, data.end());
        const auto name = storageName(phoneName);
        if (!name) {
            log("open refused: " + phoneName);
            return {kError};
        }
        OpenFile file{*name, attribute != 0xFF, {}, 0};
        if (file.writable) {
            if (!storage_->create(*name)) {
                log("open failed: " + phoneName);
                return {kError};
            }
        } else {
            auto content = storage_->read(*name);
            if (!content) {
                log("open failed: " + phoneName);
                return {kError};
            }
            file.content = std::move(*content);
        }
        file_ = std::move(file);
        return {kOk};
    }
    case p2k::kFsRead: {
        if (data.size() != 8 || !file_ || file_->writable)
            return {kError};
        const std::size_t want = std::min<std::size_t>(p2k::readBE32(data, 4), p2k::kMaxAnswerData);
        const std::size_t n = std::min(want, file_->content.size() - file_->at);
        const auto from = file_->content.begin() + static_cast<std::ptrdiff_t>(file_->at);
        file_->at += n;
        return std::vector<uint8_t>(from, from + static_cast<std::ptrdiff_t>(n));
    }
    case p2k::kFsWrite: {
        if (data.size() < 8 || !file_ || !file_->writable)
            return {kError};
        const uint32_t count = p2k::readBE32(data, 4);
        if (count != data.size() - 8)
            return {kError};
        std::size_t fits = count;
        if (storageLimit_) {
            const std::size_t at = file_->at;
            fits = at >= *storageLimit_ ? 0 : std::min<std::size_t>(count, *storageLimit_ - at);
        }
        std::vector<uint8_t> stored(data.begin() + 8, data.begin() + 8 + static_cast<std::ptrdiff_t>(fits));
        if (fault && fault->kind == FaultKind::CorruptStore && !stored.empty()) {
            // Acknowledged all the same: only reading the file back shows it.
            if (fault->offset < stored.size())
                stored[fault->offset] = static_cast<uint8_t>(~stored[fault->offset]);
            stored.resize(stored.size() - std::min(fault->dropTail, stored.size()));
            log("stores the chunk altered (" + std::to_string(stored.size()) + " of " + std::to_string(fits)
                + " bytes)");
        }
        if (!storage_->append(file_->name, stored))
            return {kError};
        file_->at += stored.size();
        if (fits < count) {
            log("storage full after " + std::to_string(fits) + " of " + std::to_string(count) + " bytes");
            return {kError};
        }
        return {kOk};
    }
    case p2k::kFsClose:
        if (data.size() != 4 || !file_)
            return {kError};
        file_.reset();
        return {};
    default:
        return {kError};
    }
}

std::optional<std::size_t> VirtualPhone::handleATWrite(std::span<const uint8_t> bytes)
{
    if (atBehaviour_.failWrite)
        return std::nullopt;
    atWrites_.emplace_back(bytes.begin(), bytes.end());
    log("modem write " + p2k::toHex(bytes));
    // A switch put off is carried out now; the modem, and the rest of
    // what was written, is gone.
    if (switchPending_) {
        switchToP2K();
        return bytes.size();
    }
    atLine_.append(bytes.begin(), bytes.end());
    std::size_t end;
    while (mode_ == PhoneMode::AT && (end = atLine_.find("\r\n")) != std::string::npos) {
        const std::string line = atLine_.substr(0, end);
        atLine_.erase(0, end + 2);
        answerModemLine(line);
    }
    return bytes.size();
}

void VirtualPhone::answerModemLine(const std::string& line)
{
    if (line.empty())
        return;
    const auto reply = [this](const std::string& text) {
        const std::string framed = "\r\n" + text + "\r\n";
        modemOutput_.insert(modemOutput_.end(), framed.begin(), framed.end());
        log("modem answers " + text);
    };
    if (line != "AT+Mode=8") {
        const bool command = line.size() >= 2 && std::toupper(static_cast<unsigned char>(line[0])) == 'A'
                             && std::toupper(static_cast<unsigned char>(line[1])) == 'T';
        reply(command ? "OK" : "ERROR");
        return;
    }
    const auto fault = takeATFault();
    reply(fault ? fault->reply : "OK");
    switch (fault ? fault->atSwitch : ATSwitch::Now) {
    case ATSwitch::Now:
        switchToP2K();
        break;
    case ATSwitch::Late:
        log("puts the switch off");
        switchPending_ = true;
        break;
    case ATSwitch::Never:
        log("stays in AT mode");
        break;
    }
}

void VirtualPhone::switchToP2K()
{
    log("switches to P2K mode");
    detach();
    attach(PhoneMode::P2K);
}

bool VirtualPhone::completeSwitch()
{
    if (!switchPending_ || mode_ != PhoneMode::AT)
        return false;
    switchToP2K();
    return true;
}

std::vector<uint8_t> VirtualPhone::takeModemOutput()
{
    std::vector<uint8_t> bytes;
    bytes.swap(modemOutput_);
    return bytes;
}

std::optional<PortTimeouts> VirtualPhone::portGetTimeouts() const
{
    if (atBehaviour_.failGetTimeouts)
        return std::nullopt;
    return timeouts_;
}

bool VirtualPhone::portSetTimeouts(const PortTimeouts& timeouts)
{
    if (atBehaviour_.failSetTimeouts)
        return false;
    timeouts_ = timeouts;
    if (const uint32_t r = atBehaviour_.timeoutRounding) {
        timeouts_.readTotalConstant -= timeouts_.readTotalConstant % r;
        timeouts_.writeTotalConstant -= timeouts_.writeTotalConstant % r;
    }
    return true;
}

} // namespace vexlon::phone::sim
