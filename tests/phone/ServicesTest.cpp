// Phone services against the virtual phone: SEEM identity values, restart, the file primitives and their limits,
// whole-file transfers in chunks with progress, and transfers that break off.
#include "phone/P2KBlocks.h"

#include "phone/PhoneTestSupport.h"

#include <stdexcept>

using namespace vexlon::phone;
using namespace vexlon::phone::test;
using vexlon::phone::sim::Fault;
using vexlon::phone::sim::FaultKind;

namespace {

const std::string kDictionary = "/a/iTAP_User_Dictionary";
using FsCalls = std::vector<std::pair<uint32_t, uint32_t>>;

Fault onFile(FaultKind kind, uint32_t subcommand, int after = 0)
{
    return Fault(kind).forCommand(p2k::kCmdFileSystem, subcommand).after(after);
}

class phoneServices : public P2KPhoneTest {
protected:
    // The file-system subcommands the phone received since the last call, each with its first argument (open:
    // attribute, read: requested count, write: data bytes).
    FsCalls fileCommands()
    {
        FsCalls calls;
        for (; seen < phone.commands().size(); ++seen)
            if (const auto& c = phone.commands()[seen]; c.command == p2k::kCmdFileSystem)
                calls.emplace_back(p2k::readBE32(c.data, 0), c.data.size() >= 8 ? p2k::readBE32(c.data, 4) : 0);
        return calls;
    }
    std::size_t seen = 0;
};

} // namespace

TEST_F(phoneServices, IdentityValuesAndTheirFailures)
{
    EXPECT_EQ(item().GetPhoneModel(), "MOTORAZR V3");
    EXPECT_EQ(item().GetPhoneFlexVersion(), "R374_G_0E.30.49R");
    EXPECT_EQ(item().GetPhoneIMEI(), "35000012345678");
    EXPECT_EQ(phone.commands().at(2).data, p2k::buildSeemRead(0x0004, 1, 0, 9)); // 9 bytes of the IMEI record

    // A record the phone does not have (status byte not 0), or an answer over 256 bytes, is refused.
    const std::string refused = "Read Seem Phone Failed - Error Read Command: no seem or access denided";
    uint16_t length = 0;
    std::array<uint8_t, 20> buffer{};
    log.clear();
    EXPECT_FALSE(item().ReadSeemPhone(0x0999, 1, 0, 0, buffer, length));
    storage->put(".phone/seem/0117_0001.bin", Bytes(256, 0x41)); // with the status byte: 257
    EXPECT_EQ(item().GetPhoneModel(), "");
    EXPECT_EQ(log.texts(), (Texts{refused, refused, "Get Phone Model Failed - Error Read Seem Phone"}));
    // A record longer than the caller's buffer fills the buffer only.
    storage->put(".phone/seem/0117_0002.bin", Bytes(255, 0x42));
    ASSERT_TRUE(item().ReadSeemPhone(0x0117, 2, 0, 0, std::span<uint8_t>(buffer).first(10), length));
    EXPECT_EQ(length, 255);
    EXPECT_EQ((Bytes{buffer[9], buffer[10]}), (Bytes{0x42, 0x00}));
    phone.injectFault(Fault(FaultKind::NeverAnnounce)); // the exchange itself fails
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
    phone.injectFault(Fault(FaultKind::FailSend));
    ASSERT_TRUE(item().OpenPhone());
    EXPECT_FALSE(item().RestartPhone());
    EXPECT_EQ(log.last(), "Restart Phone Failed");

    // A closed phone sends nothing; only the transfers report it.
    ASSERT_TRUE(item().ClosePhone());
    log.clear();
    uint16_t length = 0;
    Bytes buffer(8);
    EXPECT_FALSE(item().RestartPhone());
    EXPECT_FALSE(item().ReadSeemPhone(0x0117, 1, 0, 0, buffer, length));
    EXPECT_EQ(item().GetPhoneModel() + item().GetPhoneFlexVersion() + item().GetPhoneIMEI(), "");
    EXPECT_FALSE(item().FileDownloadPhone(kDictionary, buffer, 4000, 0, {}));
    EXPECT_FALSE(item().FileUploadPhone(buffer, kDictionary, 1000, {}));
    EXPECT_EQ(log.texts(), (Texts{"File Download Phone - Phone Not Open", "File Upload Phone - Phone Not Open"}));
    EXPECT_EQ(phone.commands().size(), 1u); // the restart
}

TEST_F(phoneServices, FilePrimitiveLimits)
{
    // Counts, names and attributes beyond the limits are refused unsent.
    Bytes buffer(5000, 0);
    EXPECT_EQ(item().FileReadPhone(buffer, 4097) + item().FileReadPhone(buffer, -1), 0);
    EXPECT_FALSE(item().FileWritePhone(1025, buffer));
    EXPECT_FALSE(item().FileWritePhone(10, std::span<const uint8_t>(buffer).first(9)));
    EXPECT_FALSE(item().FileOpenPhone(std::string(257, 'x'), 0));
    EXPECT_FALSE(item().FileOpenPhone(kDictionary, 0x08));
    EXPECT_TRUE(phone.commands().empty());
    EXPECT_TRUE(item().FileOpenPhone("/" + std::string(255, 'y'), 0x81)); // the limits themselves are sent
    EXPECT_TRUE(item().FileWritePhone(1024, buffer));
    EXPECT_EQ(item().FileReadPhone(buffer, 4096), 1); // open for writing: error answer
    // An answer longer than asked fills no more of the buffer than the count.
    phone.injectFault(onFile(FaultKind::DeclareLength, p2k::kFsRead).declaring(100));
    EXPECT_EQ(item().FileReadPhone(buffer, 10), 100);
    EXPECT_EQ((Bytes{buffer[9], buffer[10]}), (Bytes{0xEE, 0x00}));
    EXPECT_TRUE(item().FileClosePhone());
    EXPECT_FALSE(item().FileClosePhone()); // no file open: the phone answers one byte
    EXPECT_EQ(fileCommands(), (FsCalls{{0, 1}, {2, 1024}, {1, 4096}, {1, 10}, {4, 0}, {4, 0}}));
}

// A download is complete when it read to the end of the file or to the total expected; whatever breaks it off, the
// bytes read so far are delivered and the phone file is closed.
TEST_F(phoneServices, Downloads)
{
    Bytes bytes;
    EXPECT_FALSE(item().FileDownloadPhone("", bytes, 4000, 0, {}));
    EXPECT_FALSE(item().FileDownloadPhone("/" + std::string(255, 'n'), bytes, 4000, 0, {}));
    EXPECT_FALSE(item().FileDownloadPhone(kDictionary, bytes, 4000, 0, {})); // no such file
    const std::string badName = "File Download Phone - FileName not normal";
    EXPECT_EQ(log.texts(), (Texts{badName, badName, "File Open Phone Failed - Error Status"}));

    const Bytes content = randomBytes(10000, 1);
    storage->put("a/iTAP_User_Dictionary", content);
    std::vector<std::pair<int32_t, int32_t>> progress;
    // What breaks it off, if anything; chunk size and total; the progress callback; bytes delivered; complete.
    const std::tuple<const char*, std::optional<Fault>, int32_t, int32_t, TProgressCallback, std::ptrdiff_t, bool>
        cases[] = {
        {"to the end", {}, 4000, 0, [&](int32_t done, int32_t all) { return progress.emplace_back(done, all), true; },
         10000, true},
        {"to the total", {}, 4000, 8000, {}, 8000, true},
        {"a callback that throws is ignored", {}, 4000, 0,
         [](int32_t, int32_t) -> bool { throw std::runtime_error("host failure"); }, 10000, true},
        {"a callback answering false stops after that chunk", {}, 4000, 0, [](int32_t, int32_t) { return false; }, 4000,
         false},
        {"a chunk above the read limit reads nothing", {}, 5000, 0, {}, 0, false},
        {"an answer over the chunk size is not stored",
         onFile(FaultKind::DeclareLength, p2k::kFsRead, 1).declaring(4001), 4000, 0, {}, 4000, false},
        {"a one-byte error answer is not stored", onFile(FaultKind::ErrorStatus, p2k::kFsRead, 2), 4000, 0, {}, 8000,
         false},
        {"the phone leaves while the second chunk is fetched", onFile(FaultKind::DropAtFetch, p2k::kFsRead, 1), 4000,
         0, {}, 4000, false}};
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
    EXPECT_EQ(log.texts(), (Texts{"File Open Phone", "File Read Phone", "File Read Phone Failed - Error Read Command",
                                  "File Close Phone Failed - Error Read Command", "File Download Phone"}));
}

// Uploads write in chunks of at most 1024 bytes and succeed only when the phone took every byte and closed, and so
// stored, the file; the phone file is closed whatever happens.
TEST_F(phoneServices, Uploads)
{
    const Bytes content = randomBytes(2500, 5);
    std::vector<int32_t> done;
    const FsCalls whole{{0, 0}, {2, 1000}, {2, 1000}, {2, 500}, {4, 0}};
    const FsCalls twoWrites{{0, 0}, {2, 1000}, {2, 1000}, {4, 0}};
    struct Case {
        const char* what;
        std::optional<Fault> fault;
        std::size_t size;
        int32_t chunk;
        TProgressCallback progress;
        bool ok;
        FsCalls calls;
        std::ptrdiff_t stored;                // what the phone holds after it
        std::optional<std::size_t> room = {}; // the phone's free memory
    };
    const Case cases[] = {
        {"whole", {}, 2500, 1000, [&](int32_t d, int32_t total) { done.push_back(d); return total == 2500; }, true,
         whole, 2500},
        {"a chunk above 1024 bytes", {}, 2500, 2000, {}, false, {{0, 0}, {4, 0}}, 0},
        {"no bytes", {}, 0, 1000, {}, true, {{0, 0}, {4, 0}}, 0},
        {"a callback answering false", {}, 2500, 1000, [](int32_t, int32_t) { return false; }, false,
         {{0, 0}, {2, 1000}, {4, 0}}, 1000},
        {"the second write's answer cannot be fetched", onFile(FaultKind::FailFetch, p2k::kFsWrite, 1), 2500, 1000, {},
         false, twoWrites, 2000},
        {"the phone refuses the second write", onFile(FaultKind::ErrorStatus, p2k::kFsWrite, 1), 2500, 1000, {}, false,
         twoWrites, 1000},
        {"the phone refuses the open", onFile(FaultKind::ErrorStatus, p2k::kFsOpen), 2500, 1000, {}, false, {{0, 0}},
         1000},
        {"the open is not sent", onFile(FaultKind::FailSend, p2k::kFsOpen), 2500, 1000, {}, false, {}, 1000},
        {"the memory fills up in the second chunk", {}, 2500, 1000, {}, false, twoWrites, 1500, 1500},
        // The file stays open on the phone, which does not store it.
        {"the phone refuses to close", onFile(FaultKind::ErrorStatus, p2k::kFsClose), 2500, 1000, {}, false, whole,
         2500}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.fault)
            phone.injectFault(*c.fault);
        phone.setStorageLimit(c.room);
        EXPECT_EQ(item().FileUploadPhone(std::span(content).first(c.size), kDictionary, c.chunk, c.progress), c.ok);
        EXPECT_EQ(fileCommands(), c.calls);
        EXPECT_EQ(storage->read("a/iTAP_User_Dictionary"), Bytes(content.begin(), content.begin() + c.stored));
        EXPECT_EQ(phone.hasOpenFile(), &c == std::end(cases) - 1);
    }
    EXPECT_EQ(done, (std::vector<int32_t>{1000, 2000, 2500}));
    EXPECT_FALSE(item().FileUploadPhone(content, "", 1000, {}));
    EXPECT_EQ(log.last(), "File Upload Phone - FileName not normal");
}
