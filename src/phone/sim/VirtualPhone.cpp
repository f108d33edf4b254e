#include "phone/sim/VirtualPhone.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <sys/eventfd.h>
#include <unistd.h>

namespace vexlon::phone::sim {

namespace {

constexpr uint32_t kBaudRate = 115200;
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

std::optional<std::string> readFirstLine(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string line;
    std::getline(in, line);
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
        line.pop_back();
    std::size_t start = 0;
    while (start < line.size() && std::isspace(static_cast<unsigned char>(line[start])))
        ++start;
    return line.substr(start);
}

std::optional<FaultKind> faultKindNamed(const std::string& name)
{
    static const std::pair<const char*, FaultKind> names[] = {
        {"NeverAnnounce", FaultKind::NeverAnnounce}, {"FailSend", FaultKind::FailSend},
        {"FailStatus", FaultKind::FailStatus},       {"FailFetch", FaultKind::FailFetch},
        {"TimeOutSend", FaultKind::TimeOutSend},     {"TimeOutStatus", FaultKind::TimeOutStatus},
        {"TimeOutFetch", FaultKind::TimeOutFetch},   {"DropAtSend", FaultKind::DropAtSend},
        {"DropAtStatus", FaultKind::DropAtStatus},   {"DropAtFetch", FaultKind::DropAtFetch},
        {"ErrorStatus", FaultKind::ErrorStatus},
    };
    for (const auto& [text, kind] : names)
        if (name == text)
            return kind;
    return std::nullopt;
}

std::optional<std::vector<uint8_t>> readAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
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

} // namespace

// ---- the shared state of a backend ------------------------------------------

struct WatchQueue {
    DeviceClass deviceClass;
    std::deque<DeviceChange> pending;
    int fd = -1;
};

class World {
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

    void log(const std::string& line) const
    {
        if (logger)
            logger(line);
    }

    // A device of the P2K interface class is also a USB device: AT-class
    // watchers hear of every change.
    void notify(bool p2kInterface, DeviceChange change)
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
    SimP2KDevice(std::shared_ptr<World> world, VirtualPhone& phone)
        : world_(std::move(world)), phone_(phone), generation_(phone.generation())
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
        world_->clock.advance(world_->latencyMs);
        if (phone_.attachedAs(PhoneMode::P2K, generation_))
            return true;
        world_->log("phone" + std::to_string(phone_.id()) + " " + what + ": not on the bus");
        return false;
    }

    std::shared_ptr<World> world_;
    VirtualPhone& phone_;
    uint32_t generation_;
};

class SimATPort final : public IATPort {
public:
    SimATPort(std::shared_ptr<World> world, VirtualPhone& phone)
        : world_(std::move(world)), phone_(phone), generation_(phone.generation())
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

    std::shared_ptr<World> world_;
    VirtualPhone& phone_;
    uint32_t generation_;
};

} // namespace

// ---- VirtualPhone ------------------------------------------------------------

VirtualPhone::VirtualPhone(World& world, int id, std::filesystem::path folder)
    : world_(world), id_(id), folder_(std::move(folder))
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
    world_.log("phone" + std::to_string(id_) + " " + line);
}

bool VirtualPhone::attachedAs(PhoneMode mode, uint32_t generation) const
{
    return mode_ == mode && generation_ == generation;
}

void VirtualPhone::attach(PhoneMode mode)
{
    ++generation_;
    mode_ = mode;
    log(mode == PhoneMode::P2K ? "arrives in P2K mode" : "arrives in AT mode");
    world_.notify(mode == PhoneMode::P2K, DeviceChange::Arrival);
}

void VirtualPhone::detach()
{
    if (mode_ == PhoneMode::Detached)
        return;
    const bool wasP2K = mode_ == PhoneMode::P2K;
    mode_ = PhoneMode::Detached;
    if (file_.is_open())
        file_.close();
    answers_.clear();
    current_.reset();
    restartAfterFetch_ = false;
    atLine_.clear();
    log("leaves the bus");
    world_.notify(wasP2K, DeviceChange::Removal);
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

std::optional<Fault> VirtualPhone::takeFault(const p2k::CommandPacket& packet)
{
    for (auto it = faults_.begin(); it != faults_.end(); ++it) {
        Fault& f = *it;
        if (f.command && *f.command != packet.command)
            continue;
        if (f.subcommand && p2k::readBE32(packet.data, 0) != *f.subcommand)
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
            world_.clock.advance(timeoutMs);
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
        data = runCommand(*packet);
    }
    Answer answer{packet->sequence, packet->command, std::move(data)};
    answers_.push_back(std::move(answer));
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
            world_.clock.advance(timeoutMs);
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
    std::vector<uint8_t> block(8, 0);
    block[5] = count;
    block[6] = static_cast<uint8_t>(size >> 8);
    block[7] = static_cast<uint8_t>(size & 0xFF);
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
            world_.clock.advance(timeoutMs);
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
    block[8] = static_cast<uint8_t>(answer.sequence >> 8);
    block[9] = static_cast<uint8_t>(answer.sequence & 0xFF);
    block[10] = static_cast<uint8_t>(answer.command >> 8);
    block[11] = static_cast<uint8_t>(answer.command & 0xFF);
    block[14] = static_cast<uint8_t>(declared >> 8);
    block[15] = static_cast<uint8_t>(declared & 0xFF);
    std::copy(answer.data.begin(), answer.data.end(), block.begin() + p2k::kAnswerDataOffset);
    if (answer.data.size() < declared)
        block.resize(std::min<std::size_t>(p2k::kAnswerDataOffset + declared, capacity), 0xEE);
    log("fetch seq=" + hex4(answer.sequence) + " length=" + std::to_string(declared)
        + " data=" + p2k::toHex(answer.data));
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

std::vector<uint8_t> VirtualPhone::runCommand(const p2k::CommandPacket& packet)
{
    switch (packet.command) {
    case p2k::kCmdSeemRead:
        return runSeemRead(packet.data);
    case p2k::kCmdRestart:
        restartAfterFetch_ = true;
        return {kOk};
    case p2k::kCmdFileSystem:
        return runFileSystem(packet.data);
    default:
        return {0xFF};
    }
}

std::optional<std::vector<uint8_t>> VirtualPhone::seemRecord(uint16_t seem, uint16_t record) const
{
    const auto config = folder_ / ".phone";
    if (auto raw = readAll(config / "seem" / (hex4(seem) + "_" + hex4(record) + ".bin")))
        return raw;
    if (record != 1)
        return std::nullopt;
    switch (seem) {
    case p2k::kSeemModel:
        return textRecord(readFirstLine(config / "model").value_or(kDefaultModel),
                          kModelRecordSize, 0x00);
    case p2k::kSeemFlex:
        return textRecord(readFirstLine(config / "flex").value_or(kDefaultFlex),
                          kFlexRecordSize, 0xFF);
    case p2k::kSeemIMEI: {
        std::string imei = readFirstLine(config / "imei").value_or(kDefaultIMEI);
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

std::optional<std::filesystem::path> VirtualPhone::hostPath(const std::string& phoneName) const
{
    if (phoneName.empty() || phoneName.front() != '/')
        return std::nullopt;
    std::filesystem::path path = folder_;
    std::size_t start = 1;
    bool any = false;
    while (start <= phoneName.size()) {
        std::size_t end = phoneName.find('/', start);
        if (end == std::string::npos)
            end = phoneName.size();
        const std::string part = phoneName.substr(start, end - start);
        if (part == "." || part == ".." || part.find('\0') != std::string::npos)
            return std::nullopt;
        if (!part.empty()) {
            path /= part;
            any = true;
        }
        start = end + 1;
    }
    if (!any)
        return std::nullopt;
    return path;
}

std::vector<uint8_t> VirtualPhone::runFileSystem(std::span<const uint8_t> data)
{
    if (data.size() < 4)
        return {kError};
    const uint32_t sub = p2k::readBE32(data, 0);
    switch (sub) {
    case p2k::kFsOpen: {
        if (data.size() < 8)
            return {kError};
        if (file_.is_open())
            file_.close();
        const uint32_t attribute = p2k::readBE32(data, 4);
        const std::string name(data.begin() + 8, data.end());
        const auto path = hostPath(name);
        if (!path) {
            log("open refused: " + name);
            return {kError};
        }
        std::error_code ec;
        if (attribute == 0xFF) {
            file_.open(*path, std::ios::binary | std::ios::in);
            fileWritable_ = false;
        } else {
            std::filesystem::create_directories(path->parent_path(), ec);
            file_.open(*path, std::ios::binary | std::ios::out | std::ios::trunc);
            fileWritable_ = true;
        }
        if (!file_.is_open()) {
            file_.clear();
            log("open failed: " + name);
            return {kError};
        }
        return {kOk};
    }
    case p2k::kFsRead: {
        if (data.size() != 8 || !file_.is_open() || fileWritable_)
            return {kError};
        const std::size_t want = std::min<std::size_t>(p2k::readBE32(data, 4), p2k::kMaxAnswerData);
        std::vector<uint8_t> bytes(want);
        file_.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(want));
        bytes.resize(static_cast<std::size_t>(file_.gcount()));
        file_.clear();
        return bytes;
    }
    case p2k::kFsWrite: {
        if (data.size() < 8 || !file_.is_open() || !fileWritable_)
            return {kError};
        const uint32_t count = p2k::readBE32(data, 4);
        if (count != data.size() - 8)
            return {kError};
        std::size_t fits = count;
        if (storageLimit_) {
            const auto at = static_cast<std::size_t>(std::max<std::streamoff>(0, file_.tellp()));
            fits = at >= *storageLimit_ ? 0 : std::min<std::size_t>(count, *storageLimit_ - at);
        }
        file_.write(reinterpret_cast<const char*>(data.data() + 8), static_cast<std::streamsize>(fits));
        file_.flush();
        if (!file_) {
            file_.clear();
            return {kError};
        }
        if (fits < count) {
            log("storage full after " + std::to_string(fits) + " of " + std::to_string(count) + " bytes");
            return {kError};
        }
        return {kOk};
    }
    case p2k::kFsClose:
        if (data.size() != 4 || !file_.is_open())
            return {kError};
        file_.close();
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
    atLine_.append(bytes.begin(), bytes.end());
    std::size_t end;
    while ((end = atLine_.find("\r\n")) != std::string::npos) {
        const std::string line = atLine_.substr(0, end);
        atLine_.erase(0, end + 2);
        if (line == "AT+Mode=8") {
            log("switches to P2K mode");
            detach();
            attach(PhoneMode::P2K);
            break;
        }
    }
    return bytes.size();
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

// ---- VirtualBackend ------------------------------------------------------------

VirtualBackend::VirtualBackend() : world_(std::make_shared<World>()) {}

VirtualBackend::~VirtualBackend() = default;

VirtualPhone& VirtualBackend::addPhone(const std::filesystem::path& folder, PhoneMode mode)
{
    const int id = static_cast<int>(world_->phones.size()) + 1;
    world_->phones.push_back(std::make_unique<VirtualPhone>(*world_, id, folder));
    VirtualPhone& phone = *world_->phones.back();
    phone.plugIn(mode);
    return phone;
}

VirtualPhone& VirtualBackend::addPhoneFromFolder(const std::filesystem::path& folder)
{
    PhoneMode mode = PhoneMode::P2K;
    if (const auto text = readFirstLine(folder / ".phone" / "mode")) {
        std::string word = *text;
        std::transform(word.begin(), word.end(), word.begin(),
                       [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
        if (word == "AT")
            mode = PhoneMode::AT;
        else if (word == "NONE")
            mode = PhoneMode::Detached;
    }
    VirtualPhone& phone = addPhone(folder, mode);
    // .phone/storage: the free storage in bytes; .phone/faults: one fault
    // kind a line, armed for every command.
    if (const auto text = readFirstLine(folder / ".phone" / "storage")) {
        char* end = nullptr;
        const unsigned long long limit = std::strtoull(text->c_str(), &end, 10);
        if (!text->empty() && end && *end == '\0')
            phone.setStorageLimit(static_cast<std::size_t>(limit));
    }
    std::ifstream faults(folder / ".phone" / "faults");
    for (std::string line; std::getline(faults, line);) {
        while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
            line.pop_back();
        if (const auto kind = faultKindNamed(line))
            phone.injectFault(Fault(*kind).repeat(-1));
    }
    return phone;
}

int VirtualBackend::phoneCount() const { return static_cast<int>(world_->phones.size()); }

VirtualPhone& VirtualBackend::phone(int index)
{
    return *world_->phones.at(static_cast<std::size_t>(index));
}

int VirtualBackend::plugInOtherDevice(const std::string& description)
{
    const int handle = world_->nextOther++;
    world_->others.push_back({handle, description});
    world_->notify(false, DeviceChange::Arrival);
    return handle;
}

void VirtualBackend::unplugOtherDevice(int handle)
{
    auto& others = world_->others;
    const auto it = std::find_if(others.begin(), others.end(),
                                 [handle](const auto& o) { return o.handle == handle; });
    if (it == others.end())
        return;
    others.erase(it);
    world_->notify(false, DeviceChange::Removal);
}

VirtualClock& VirtualBackend::virtualClock() { return world_->clock; }

void VirtualBackend::setRequestLatencyMs(uint32_t ms) { world_->latencyMs = ms; }

void VirtualBackend::setLog(std::function<void(const std::string&)> log)
{
    world_->logger = std::move(log);
}

void VirtualBackend::setWatchAvailable(bool available) { world_->watchAvailable = available; }

TUSBDevises VirtualBackend::enumerateDevices(DeviceClass deviceClass)
{
    TUSBDevises devices;
    for (const auto& phone : world_->phones) {
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
        for (const auto& other : world_->others) {
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
    if (!world_->watchAvailable)
        return nullptr;
    auto queue = std::make_shared<WatchQueue>();
    queue->deviceClass = deviceClass;
    queue->fd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (queue->fd < 0)
        return nullptr;
    world_->queues.push_back(queue);
    return std::make_unique<SimWatcher>(queue);
}

std::unique_ptr<IP2KDevice> VirtualBackend::openP2K(const std::string& devicePath)
{
    for (const auto& phone : world_->phones) {
        if (phone->mode() == PhoneMode::P2K && phone->devicePath() == devicePath)
            return std::make_unique<SimP2KDevice>(world_, *phone);
    }
    world_->log("open failed: " + devicePath);
    return nullptr;
}

std::unique_ptr<IATPort> VirtualBackend::openATPort(const std::string& devicePath)
{
    for (const auto& phone : world_->phones) {
        if (phone->mode() == PhoneMode::AT && phone->devicePath() == devicePath) {
            if (phone->atPort().failOpen)
                break;
            return std::make_unique<SimATPort>(world_, *phone);
        }
    }
    world_->log("open failed: " + devicePath);
    return nullptr;
}

IClock& VirtualBackend::clock() { return world_->clock; }

} // namespace vexlon::phone::sim
