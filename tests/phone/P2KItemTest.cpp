// A P2K item against the virtual phone: the command/answer exchange, then the services on top of it, whole-file
// transfers included. Time is virtual; nothing sleeps.
#include "phone/P2KBlocks.h"

#include "phone/PhoneTestSupport.h"

#include <algorithm>
#include <random>
#include <stdexcept>

using namespace vexlon::phone;
using namespace vexlon::phone::p2k;
using namespace vexlon::phone::test;
using vexlon::phone::sim::Fault;
using enum vexlon::phone::sim::FaultKind;

namespace {

constexpr uint16_t kUnknownCommand = 0x0000; // the phone answers FF

const std::string kDictionary = "/a/iTAP_User_Dictionary";
using FsCalls = std::vector<std::pair<uint32_t, uint32_t>>;

Bytes randomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 generator(seed);
    Bytes bytes(size);
    std::generate(bytes.begin(), bytes.end(), [&generator] { return static_cast<uint8_t>(generator()); });
    return bytes;
}

Fault onFile(vexlon::phone::sim::FaultKind kind, uint32_t subcommand, int after = 0)
{
    return Fault(kind).forCommand(kCmdFileSystem, subcommand).after(after);
}

// A P2K component over one virtual phone whose item is open, with its reports and its exchanges recorded.
class P2KItemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        component.SetOnDebug(log.handler<TMotoP2KModemItem>());
        component.SetOnExchange([this](TMotoP2KModemItem*, TP2KExchangeDirection to, std::span<const uint8_t> bytes) {
            exchanges.emplace_back(to, Bytes(bytes.begin(), bytes.end()));
        });
        ASSERT_EQ(component.DeviseList().Count(), 1);
        ASSERT_TRUE(item().OpenPhone());
        log.clear();
    }
    TMotoP2KModemItem& item() { return *component.DeviseList().Items(0); }
    sim::VirtualClock& clock() { return backend.virtualClock(); }
    // The command's result, and the caller's area and answer length, filled with 0x77 and set to 0x1234 before.
    struct Result { bool ok; uint16_t length; Bytes area; };
    Result run(uint16_t command = kUnknownCommand, const Bytes& data = {}, std::size_t capacity = 256)
    {
        Result r{false, 0x1234, Bytes(capacity, 0x77)};
        r.ok = item().ExecuteCommand(command, data, r.area, r.length);
        return r;
    }
    Bytes readModel()
    {
        const Result r = run(kCmdSeemRead, modelRead);
        return r.ok ? Bytes(r.area.begin(), r.area.begin() + r.length) : Bytes{};
    }
    void expectUntouched(const Result& r)
    {
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(std::pair(r.length, r.area), std::pair(uint16_t{0x1234}, Bytes(r.area.size(), 0x77)));
    }
    // The file-system subcommands received since the last call, each with its first argument (open: attribute, ...).
    FsCalls fileCommands()
    {
        FsCalls calls;
        for (; seen < phone.commands().size(); ++seen)
            if (const auto& c = phone.commands()[seen]; c.command == kCmdFileSystem)
                calls.emplace_back(readBE32(c.data, 0), c.data.size() >= 8 ? readBE32(c.data, 4) : 0);
        return calls;
    }

    static constexpr char kModel[35] = "\0MOTORAZR V3"; // as the phone sends it: status 0, then 34 bytes
    const Bytes modelAnswer = Bytes(std::begin(kModel), std::end(kModel));
    const Bytes modelRead = buildSeemRead(0x0117, 1, 0, 0);
    std::size_t seen = 0;
    ReportLog log; // outlives the component, which reports while closing
    std::vector<std::pair<TP2KExchangeDirection, Bytes>> exchanges;
    std::shared_ptr<sim::MemoryStorage> storage = std::make_shared<sim::MemoryStorage>();
    sim::VirtualBackend backend;
    sim::VirtualPhone& phone = backend.addPhone(sim::PhoneMode::P2K, storage);
    TMotoP2KMode component{backend};
};
using phoneTransport = P2KItemTest;
using phoneServices = P2KItemTest;

} // namespace

TEST_F(phoneTransport, AnAnswerIsAnnouncedFetchedAndDelivered)
{
    EXPECT_EQ(readModel(), modelAnswer);
    EXPECT_EQ(clock().totalSleptMs(), 1u); // the one pause: 1 ms between announcement and fetch
    const Bytes sent = serialize(*buildCommandPacket(1, kCmdSeemRead, modelRead));
    EXPECT_EQ(exchanges, (decltype(exchanges){{TP2KExchangeDirection::Sent, sent},
                                              {TP2KExchangeDirection::Delivered, modelAnswer}}));
    // Two answers announced are fetched together, with value 2 and length 2*2 + size + 4.
    phone.injectFault(Fault(AnnounceCount).announcing(2));
    EXPECT_EQ(readModel(), modelAnswer);
    // Sequence numbers go on across reopening, and wrap.
    ASSERT_TRUE(item().ClosePhone() && item().OpenPhone());
    while (phone.commands().size() < 65537)
        ASSERT_TRUE(run().ok);
    std::vector<uint16_t> sequences;
    for (std::size_t i : {0, 1, 2, 65534, 65535, 65536})
        sequences.push_back(phone.commands()[i].sequence);
    EXPECT_EQ(sequences, (std::vector<uint16_t>{1, 2, 3, 0xFFFF, 0, 1}));
}

// A send that times out counts as sent; any other failure fails the exchange, leaves the area, and the phone usable.
TEST_F(phoneTransport, FailedExchangesAndWhatDoesNotFit)
{
    phone.injectFault(Fault(TimeOutSend));
    EXPECT_EQ(readModel(), modelAnswer);
    clock().set(0xFFFFFFFFu - 100); // the first wait runs across the wrap of the tick counter
    // The fault; whether the phone got the command; whether the status was polled to the deadline, never pausing.
    const std::tuple<Fault, bool, bool> cases[] = {
        {Fault(NeverAnnounce), true, true}, {Fault(AnnounceCount).announcing(0), true, true},
        {Fault(AnnounceCount).announcing(3), true, true}, {Fault(FailSend), false, false},
        {Fault(FailStatus), true, false}, {Fault(TimeOutStatus), true, false},
        {Fault(FailFetch), true, false}, {Fault(TimeOutFetch), true, false}};
    for (const auto& [fault, received, polled] : cases) {
        SCOPED_TRACE(int(fault.kind));
        phone.injectFault(fault);
        const std::size_t commands = phone.commands().size();
        const uint32_t start = clock().nowMs();
        const uint64_t slept = clock().totalSleptMs();
        expectUntouched(run());
        EXPECT_EQ(phone.commands().size(), commands + (received ? 1 : 0));
        const uint32_t waited = clock().nowMs() - start;
        EXPECT_TRUE(!polled || (waited >= kPollWindowMs && waited < kPollWindowMs + 10)) << waited;
        EXPECT_TRUE(!polled || clock().totalSleptMs() == slept);
        EXPECT_TRUE(item().IsOpen() && run().ok);
    }
    // Declared 200 bytes, caller offers 10 of 12: 10 delivered, 200 reported; then never more than the area.
    phone.injectFault(Fault(DeclareLength).declaring(200));
    Bytes small(12, 0x11);
    uint16_t length = 0;
    ASSERT_TRUE(item().ExecuteCommand(kUnknownCommand, {}, std::span<uint8_t>(small).first(10), length));
    EXPECT_EQ(length, 200);
    EXPECT_EQ((Bytes{small[0], small[9], small[10], small[11]}), (Bytes{0xFF, 0xEE, 0x11, 0x11}));
    EXPECT_EQ(exchanges.back().second.size(), 10u); // only what reached the area is delivered
    phone.injectFault(Fault(DeclareLength).declaring(0xFFFF));
    const auto large = run(kUnknownCommand, {}, 8000);
    EXPECT_EQ(std::tuple(large.length, large.area[kMaxAnswerData - 1], large.area[kMaxAnswerData]),
              std::tuple(0xFFFF, 0xEE, 0x77));
    const std::size_t sent = phone.commands().size();
    expectUntouched(run(kUnknownCommand, Bytes(4095, 1)));
    EXPECT_EQ(phone.commands().size(), sent);
    EXPECT_TRUE(run(kUnknownCommand, Bytes(4094, 1)).ok);
    EXPECT_EQ(phone.commands().back().data.size(), 4094u);
}

TEST_F(phoneTransport, OpeningClosingAndLeavingTheBus)
{
    EXPECT_TRUE(item().OpenPhone()); // already open: silent
    EXPECT_TRUE(item().ClosePhone());
    EXPECT_FALSE(item().ClosePhone());
    expectUntouched(run());
    EXPECT_TRUE(item().OpenPhone());
    EXPECT_EQ(log.reports, (std::vector<Report>{{"Close Phone", dtInformation, false},
                                                {"Close Phone Failed", dtError, false},
                                                {"Open Phone", dtInformation, false}}));
    // A phone that left mid-exchange fails every exchange without being closed, and cannot be opened again.
    phone.injectFault(Fault(DropAtStatus));
    expectUntouched(run());
    EXPECT_TRUE(item().IsOpen());
    EXPECT_EQ(phone.mode(), sim::PhoneMode::Detached);
    EXPECT_FALSE(run().ok);
    ASSERT_TRUE(item().ClosePhone());
    EXPECT_FALSE(item().OpenPhone());
    EXPECT_EQ(log.last(), "Open Phone Failed");
}

TEST_F(phoneServices, IdentityValuesAndTheirFailures)
{
    EXPECT_EQ((Texts{item().GetPhoneModel(), item().GetPhoneFlexVersion(), item().GetPhoneIMEI()}),
              (Texts{"MOTORAZR V3", "R374_G_0E.30.49R", "35000012345678"}));
    EXPECT_EQ(phone.commands().at(2).data, buildSeemRead(0x0004, 1, 0, 9)); // 9 bytes of the IMEI record
    // A record the phone does not have (status byte not 0), or an answer over 256 bytes, is refused.
    const std::string refused = "Read Seem Phone Failed - Error Read Command: no seem or access denided";
    uint16_t length = 0;
    std::array<uint8_t, 20> buffer{};
    log.clear();
    EXPECT_FALSE(item().ReadSeemPhone(0x0999, 1, 0, 0, buffer, length));
    storage->put(".phone/seem/0117_0001.bin", Bytes(256, 0x41)); // with the status byte: 257
    EXPECT_EQ(item().GetPhoneModel(), "");
    EXPECT_EQ(log.texts, (Texts{refused, refused, "Get Phone Model Failed - Error Read Seem Phone"}));
    // A record longer than the caller's buffer fills the buffer only.
    storage->put(".phone/seem/0117_0002.bin", Bytes(255, 0x42));
    ASSERT_TRUE(item().ReadSeemPhone(0x0117, 2, 0, 0, std::span<uint8_t>(buffer).first(10), length));
    EXPECT_EQ(std::tuple(length, buffer[9], buffer[10]), std::tuple(255, 0x42, 0x00));
    phone.injectFault(Fault(NeverAnnounce)); // the exchange itself fails
    EXPECT_EQ(item().GetPhoneIMEI(), "");
    EXPECT_EQ(log.last(), "Get Phone IMEI Failed - Error Read Seem Phone");
}

TEST_F(phoneServices, RestartAndAClosedPhone)
{
    EXPECT_TRUE(item().RestartPhone());
    EXPECT_EQ(phone.restarts(), 1);
    EXPECT_EQ(component.ProcessDeviceChanges(), 2); // it comes back as a new device, its item not open
    ASSERT_EQ(component.DeviseList().Count(), 1);
    EXPECT_FALSE(item().IsOpen());
    phone.injectFault(Fault(FailSend));
    ASSERT_TRUE(item().OpenPhone());
    EXPECT_FALSE(item().RestartPhone());
    EXPECT_EQ(log.last(), "Restart Phone Failed");
    // A closed phone sends nothing; only the transfers report it.
    ASSERT_TRUE(item().ClosePhone());
    log.clear();
    uint16_t length = 0;
    Bytes buffer(8);
    EXPECT_FALSE(item().RestartPhone() || item().ReadSeemPhone(0x0117, 1, 0, 0, buffer, length));
    EXPECT_EQ(item().GetPhoneModel() + item().GetPhoneFlexVersion() + item().GetPhoneIMEI(), "");
    EXPECT_FALSE(item().FileDownloadPhone(kDictionary, buffer, 4000, 0, {}));
    EXPECT_FALSE(item().FileUploadPhone(buffer, kDictionary, 1000, {}));
    EXPECT_EQ(log.texts, (Texts{"File Download Phone - Phone Not Open", "File Upload Phone - Phone Not Open"}));
    EXPECT_EQ(phone.commands().size(), 1u); // the restart
}

TEST_F(phoneServices, FilePrimitiveLimits)
{
    // Counts, names and attributes beyond the limits are refused unsent; the limits themselves are sent.
    Bytes buffer(5000, 0);
    EXPECT_EQ(item().FileReadPhone(buffer, 4097) + item().FileReadPhone(buffer, -1), 0);
    EXPECT_FALSE(item().FileWritePhone(1025, buffer) ||
                 item().FileWritePhone(10, std::span<const uint8_t>(buffer).first(9)));
    EXPECT_FALSE(item().FileOpenPhone(std::string(257, 'x'), 0) || item().FileOpenPhone(kDictionary, 0x08));
    EXPECT_TRUE(phone.commands().empty());
    EXPECT_TRUE(item().FileOpenPhone("/" + std::string(255, 'y'), 0x81) && item().FileWritePhone(1024, buffer));
    EXPECT_EQ(item().FileReadPhone(buffer, 4096), 1); // open for writing: error answer
    // An answer longer than asked fills no more of the buffer than the count.
    phone.injectFault(onFile(DeclareLength, kFsRead).declaring(100));
    EXPECT_EQ(item().FileReadPhone(buffer, 10), 100);
    EXPECT_EQ((Bytes{buffer[9], buffer[10]}), (Bytes{0xEE, 0x00}));
    EXPECT_TRUE(item().FileClosePhone());
    EXPECT_FALSE(item().FileClosePhone()); // no file open: the phone answers one byte
    EXPECT_EQ(fileCommands(), (FsCalls{{0, 1}, {2, 1024}, {1, 4096}, {1, 10}, {4, 0}, {4, 0}}));
}

// Complete at the end of the file or the total; whatever breaks it off, what was read is delivered, the file closed.
TEST_F(phoneServices, Downloads)
{
    Bytes bytes;
    EXPECT_FALSE(item().FileDownloadPhone("", bytes, 4000, 0, {}));
    EXPECT_FALSE(item().FileDownloadPhone("/" + std::string(255, 'n'), bytes, 4000, 0, {}));
    EXPECT_FALSE(item().FileDownloadPhone(kDictionary, bytes, 4000, 0, {})); // no such file
    const std::string badName = "File Download Phone - FileName not normal";
    EXPECT_EQ(log.texts, (Texts{badName, badName, "File Open Phone Failed - Error Status"}));

    const Bytes content = randomBytes(10000, 1);
    storage->put("a/iTAP_User_Dictionary", content);
    std::vector<std::pair<int32_t, int32_t>> progress;
    const TProgressCallback record = [&](int32_t done, int32_t all) { return progress.emplace_back(done, all), true; };
    const TProgressCallback throws = [](int32_t, int32_t) -> bool { throw std::runtime_error("host failure"); };
    // What breaks it off, if anything; chunk size and total; the progress callback; bytes delivered; complete.
    const std::tuple<const char*, std::optional<Fault>, int32_t, int32_t, TProgressCallback, std::ptrdiff_t, bool>
        cases[] = {{"to the end", {}, 4000, 0, record, 10000, true},
                   {"to the total", {}, 4000, 8000, {}, 8000, true},
                   {"a callback that throws is ignored", {}, 4000, 0, throws, 10000, true},
                   {"a callback answering false stops after that chunk", {}, 4000, 0,
                    [](int32_t, int32_t) { return false; }, 4000, false},
                   {"a chunk above the read limit reads nothing", {}, 5000, 0, {}, 0, false},
                   {"an answer over the chunk size is not stored", onFile(DeclareLength, kFsRead, 1).declaring(4001),
                    4000, 0, {}, 4000, false},
                   {"a one-byte error answer is not stored", onFile(ErrorStatus, kFsRead, 2), 4000, 0, {}, 8000, false},
                   {"the phone leaves while the second chunk is fetched", onFile(DropAtFetch, kFsRead, 1), 4000, 0, {},
                    4000, false}};
    fileCommands(); // those of the refusals above
    std::vector<FsCalls> calls;
    for (const auto& [what, fault, chunk, total, callback, delivered, complete] : cases) {
        SCOPED_TRACE(what);
        if (fault)
            phone.injectFault(*fault);
        log.clear();
        bytes = {0x55}; // whatever was there before is replaced
        EXPECT_EQ(item().FileDownloadPhone(kDictionary, bytes, chunk, total, callback), complete);
        EXPECT_EQ(bytes, Bytes(content.begin(), content.begin() + delivered));
        EXPECT_FALSE(phone.hasOpenFile());
        calls.push_back(fileCommands());
    }
    EXPECT_EQ(calls[0], (FsCalls{{0, 0xFF}, {1, 4000}, {1, 4000}, {1, 4000}, {1, 4000}, {4, 0}})); // to the empty read
    // Open-ended: each call sees the total the previous chunk set.
    EXPECT_EQ(progress, (std::vector<std::pair<int32_t, int32_t>>{{4000, 0}, {8000, 4001}, {10000, 8001}}));
    EXPECT_EQ(log.texts, (Texts{"File Open Phone", "File Read Phone", "File Read Phone Failed - Error Read Command",
                                "File Close Phone Failed - Error Read Command", "File Download Phone"}));
}

// Chunks of at most 1024 bytes; success only when the phone took every byte and closed (so stored) the file.
TEST_F(phoneServices, Uploads)
{
    const Bytes content = randomBytes(2500, 5);
    std::vector<int32_t> done;
    const TProgressCallback record = [&](int32_t d, int32_t total) { return done.push_back(d), total == 2500; };
    const FsCalls whole{{0, 0}, {2, 1000}, {2, 1000}, {2, 500}, {4, 0}};
    const FsCalls twoWrites{{0, 0}, {2, 1000}, {2, 1000}, {4, 0}};
    // What; the fault; bytes, chunk and progress; success; the calls; what the phone holds after; its free memory.
    const std::tuple<const char*, std::optional<Fault>, std::size_t, int32_t, TProgressCallback, bool, FsCalls,
                     std::ptrdiff_t, std::optional<std::size_t>>
        cases[] = {
            {"whole", {}, 2500, 1000, record, true, whole, 2500, {}},
            {"a chunk above 1024 bytes", {}, 2500, 2000, {}, false, {{0, 0}, {4, 0}}, 0, {}},
            {"no bytes", {}, 0, 1000, {}, true, {{0, 0}, {4, 0}}, 0, {}},
            {"a callback answering false", {}, 2500, 1000, [](int32_t, int32_t) { return false; }, false,
             {{0, 0}, {2, 1000}, {4, 0}}, 1000, {}},
            {"the second write's answer cannot be fetched", onFile(FailFetch, kFsWrite, 1), 2500, 1000, {}, false,
             twoWrites, 2000, {}},
            {"the phone refuses the second write", onFile(ErrorStatus, kFsWrite, 1), 2500, 1000, {}, false, twoWrites,
             1000, {}},
            {"the phone refuses the open", onFile(ErrorStatus, kFsOpen), 2500, 1000, {}, false, {{0, 0}}, 1000, {}},
            {"the open is not sent", onFile(FailSend, kFsOpen), 2500, 1000, {}, false, {}, 1000, {}},
            {"the memory fills up in the second chunk", {}, 2500, 1000, {}, false, twoWrites, 1500, 1500},
            {"the phone refuses to close: the file stays open, not stored", onFile(ErrorStatus, kFsClose), 2500, 1000,
             {}, false, whole, 2500, {}}};
    for (const auto& [what, fault, size, chunk, callback, ok, fsCalls, stored, room] : cases) {
        SCOPED_TRACE(what);
        if (fault)
            phone.injectFault(*fault);
        phone.setStorageLimit(room);
        EXPECT_EQ(item().FileUploadPhone(std::span(content).first(size), kDictionary, chunk, callback), ok);
        EXPECT_EQ(fileCommands(), fsCalls);
        EXPECT_EQ(storage->read("a/iTAP_User_Dictionary"), Bytes(content.begin(), content.begin() + stored));
        EXPECT_EQ(phone.hasOpenFile(), std::string_view(what).starts_with("the phone refuses to close"));
    }
    EXPECT_EQ(done, (std::vector<int32_t>{1000, 2000, 2500}));
    EXPECT_FALSE(item().FileUploadPhone(content, "", 1000, {}));
    EXPECT_EQ(log.last(), "File Upload Phone - FileName not normal");
}
