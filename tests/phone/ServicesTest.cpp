// Phone services against the virtual phone: SEEM identity values, restart, the file primitives and
// their limits, whole-file transfers in chunks with progress, and transfers that break off.
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

class phoneServices : public P2KPhoneTest {
protected:
    static constexpr const char* kPhoneFile = "a/iTAP_User_Dictionary";
    Bytes onPhone() { return storage->read(kPhoneFile).value_or(Bytes()); }
    // The bytes a download delivered; *complete: whether it claimed the whole file.
    Bytes download(int32_t chunk, int32_t total = 0, TProgressCallback progress = {}, bool* complete = nullptr)
    {
        Bytes bytes{0x55}; // whatever was there before is replaced
        const bool whole = item().FileDownloadPhone(kDictionary, bytes, chunk, total, std::move(progress));
        if (complete)
            *complete = whole;
        return bytes;
    }
    bool upload(const Bytes& from, int32_t chunk, TProgressCallback progress = {}, std::string to = kDictionary)
    {
        return item().FileUploadPhone(from, to, chunk, std::move(progress));
    }
    // The file-system subcommands the phone received, each with its first
    // argument (open: attribute, read: requested count, write: data bytes).
    FsCalls fileCommands() const
    {
        FsCalls result;
        for (const auto& c : phone.commands())
            if (c.command == p2k::kCmdFileSystem)
                result.emplace_back(p2k::readBE32(c.data, 0), c.data.size() >= 8 ? p2k::readBE32(c.data, 4) : 0);
        return result;
    }
};

} // namespace

TEST_F(phoneServices, IdentityValuesAndTheirFailures)
{
    EXPECT_EQ(item().GetPhoneModel(), "MOTORAZR V3");
    EXPECT_EQ(item().GetPhoneFlexVersion(), "R374_G_0E.30.49R");
    EXPECT_EQ(item().GetPhoneIMEI(), "35000012345678");
    EXPECT_EQ(log.texts(), (Texts{"Read Seem Phone", "GetPhone Model", "Read Seem Phone", "Get Phone Flex version",
                                  "Read Seem Phone", "Get Phone IMEI"}));
    // The IMEI read asks for 9 bytes, the text reads for the whole record.
    EXPECT_EQ(phone.commands().at(1).data, p2k::buildSeemRead(0x017F, 1, 0, 0));
    EXPECT_EQ(phone.commands().at(2).data, p2k::buildSeemRead(0x0004, 1, 0, 9));

    // A record the phone does not have (status byte not 0), or an answer
    // over 256 bytes, is refused.
    const std::string refused = "Read Seem Phone Failed - Error Read Command: no seem or access denided";
    uint16_t length = 0;
    std::array<uint8_t, 20> buffer{};
    EXPECT_FALSE(item().ReadSeemPhone(0x0999, 1, 0, 0, buffer, length));
    EXPECT_EQ(log.last(), refused);
    storage->put(".phone/seem/0117_0001.bin", Bytes(300, 0x41));
    log.clear();
    EXPECT_EQ(item().GetPhoneModel(), "");
    EXPECT_EQ(log.texts(), (Texts{refused, "Get Phone Model Failed - Error Read Seem Phone"}));
    // A record longer than the caller's buffer fills the buffer only.
    storage->put(".phone/seem/0117_0002.bin", Bytes(100, 0x42));
    ASSERT_TRUE(item().ReadSeemPhone(0x0117, 2, 0, 0, std::span<uint8_t>(buffer).first(10), length));
    EXPECT_EQ(length, 100);
    EXPECT_EQ((Bytes{buffer[9], buffer[10]}), (Bytes{0x42, 0x00}));
    // The exchange itself fails.
    phone.injectFault(Fault(FaultKind::NeverAnnounce));
    log.clear();
    EXPECT_EQ(item().GetPhoneIMEI(), "");
    EXPECT_EQ(log.reports, (std::vector<Report>{{"Read Seem Phone Failed - Error Read Command", dtError, false},
                                                {"Get Phone IMEI Failed - Error Read Seem Phone", dtError, false}}));
}

TEST_F(phoneServices, RestartAndAClosedPhone)
{
    EXPECT_TRUE(item().RestartPhone());
    EXPECT_EQ(log.last(), "Restart Phone");
    EXPECT_EQ(phone.restarts(), 1);
    // The phone comes back as a new device, its item not open.
    EXPECT_EQ(component.ProcessDeviceChanges(), 2);
    ASSERT_EQ(component.DeviseList().Count(), 1);
    EXPECT_FALSE(item().IsOpen());
    phone.injectFault(Fault(FaultKind::FailSend));
    ASSERT_TRUE(item().OpenPhone());
    EXPECT_FALSE(item().RestartPhone());
    EXPECT_EQ(log.last(), "Restart Phone Failed");

    // A closed phone sends nothing; only the transfers report it.
    ASSERT_TRUE(item().ClosePhone());
    const std::size_t sent = phone.commands().size();
    log.clear();
    uint16_t length = 0;
    std::array<uint8_t, 8> buffer{};
    EXPECT_FALSE(item().RestartPhone());
    EXPECT_FALSE(item().ReadSeemPhone(0x0117, 1, 0, 0, buffer, length));
    EXPECT_EQ(item().GetPhoneModel() + item().GetPhoneFlexVersion() + item().GetPhoneIMEI(), "");
    EXPECT_TRUE(download(4000).empty());
    EXPECT_FALSE(upload(Bytes(10, 1), 1000));
    EXPECT_EQ(log.texts(), (Texts{"File Download Phone - Phone Not Open", "File Upload Phone - Phone Not Open"}));
    EXPECT_EQ(phone.commands().size(), sent);
}

TEST_F(phoneServices, FilePrimitiveLimits)
{
    Bytes buffer(5000, 0);
    const std::string readSize = "File Read Phone Failed - BuffSize isn`t normal (0 > Buffer Size > 4096)";
    const std::string writeSize = "File Write Phone Failed - BuffSize isn`t normal (0 > Buffer Size > 1024)";
    EXPECT_EQ(item().FileReadPhone(buffer, 4097), 0);
    EXPECT_EQ(item().FileReadPhone(buffer, -1), 0);
    EXPECT_FALSE(item().FileWritePhone(1025, buffer));
    EXPECT_FALSE(item().FileWritePhone(10, std::span<const uint8_t>(buffer).first(9)));
    EXPECT_FALSE(item().FileOpenPhone(std::string(257, 'x'), 0));
    EXPECT_FALSE(item().FileOpenPhone(kDictionary, 0x08));
    EXPECT_TRUE(phone.commands().empty());
    EXPECT_EQ(log.texts(), (Texts{readSize, readSize, writeSize, writeSize,
                                  "File Open Phone Failed - File name isn`t normal",
                                  "File Open Phone Failed - Attribute File isn`t normal"}));
    // The limits themselves are sent.
    log.clear();
    EXPECT_TRUE(item().FileOpenPhone("/" + std::string(255, 'y'), 0x81));
    EXPECT_TRUE(item().FileWritePhone(1024, buffer));
    EXPECT_EQ(item().FileReadPhone(buffer, 4096), 1); // open for writing: error answer
    // An answer longer than asked fills no more of the buffer than the count.
    phone.injectFault(Fault(FaultKind::DeclareLength).forCommand(p2k::kCmdFileSystem, p2k::kFsRead).declaring(100));
    EXPECT_EQ(item().FileReadPhone(buffer, 10), 100);
    EXPECT_EQ((Bytes{buffer[9], buffer[10]}), (Bytes{0xEE, 0x00}));
    EXPECT_TRUE(item().FileClosePhone());
    // Closing with no file open: the phone answers one byte, so false.
    EXPECT_FALSE(item().FileClosePhone());
    EXPECT_EQ(log.texts(), (Texts{"File Open Phone", "File Write Phone", "File Read Phone", "File Read Phone",
                                  "File Close Phone", "File Close Phone"}));
    EXPECT_EQ(fileCommands(), (FsCalls{{0, 1}, {2, 1024}, {1, 4096}, {1, 10}, {4, 0}, {4, 0}}));
}

TEST_F(phoneServices, DownloadReadsTheWholeFileInChunks)
{
    const Bytes content = randomBytes(10000, 1);
    storage->put(kPhoneFile, content);
    std::vector<std::pair<int32_t, int32_t>> progress;
    bool complete = false;
    const TProgressCallback record = [&progress](int32_t done, int32_t total) {
        progress.emplace_back(done, total);
        return true;
    };
    EXPECT_EQ(download(4000, 0, record, &complete), content);
    EXPECT_TRUE(complete);
    // open for reading, reads until the empty read at the end, close.
    EXPECT_EQ(fileCommands(), (FsCalls{{0, 0xFF}, {1, 4000}, {1, 4000}, {1, 4000}, {1, 4000}, {4, 0}}));
    // Open-ended: each call sees the total the previous chunk set.
    EXPECT_EQ(progress, (std::vector<std::pair<int32_t, int32_t>>{{4000, 0}, {8000, 4001}, {10000, 8001}}));
    EXPECT_EQ(log.last(), "File Download Phone");
    EXPECT_FALSE(phone.hasOpenFile());
    // With an expected total it stops, complete, when the total is reached.
    EXPECT_EQ(download(4000, 8000, {}, &complete), Bytes(content.begin(), content.begin() + 8000));
    EXPECT_TRUE(complete);
    // A callback that throws is ignored.
    EXPECT_EQ(download(4000, 0, [](int32_t, int32_t) -> bool { throw std::runtime_error("host failure"); }, &complete),
              content);
    EXPECT_TRUE(complete);
}

TEST_F(phoneServices, DownloadsThatBreakOffAreNotComplete)
{
    // The names a download refuses, and a file the phone does not have.
    Bytes none;
    EXPECT_FALSE(item().FileDownloadPhone("", none, 4000, 0, {}));
    EXPECT_FALSE(item().FileDownloadPhone("/" + std::string(255, 'n'), none, 4000, 0, {}));
    bool complete = true;
    EXPECT_TRUE(download(4000, 0, {}, &complete).empty());
    EXPECT_FALSE(complete);
    const std::string badName = "File Download Phone - FileName not normal";
    EXPECT_EQ(log.texts(), (Texts{badName, badName, "File Open Phone Failed - Error Status"}));

    const Bytes content = randomBytes(10000, 2);
    storage->put(kPhoneFile, content);
    const auto head = [&](std::size_t n) { return Bytes(content.begin(), content.begin() + n); };
    complete = true;
    // A callback answering false stops after that chunk.
    EXPECT_EQ(download(4000, 0, [](int32_t, int32_t) { return false; }, &complete), head(4000));
    EXPECT_FALSE(complete);
    // A chunk above the read limit reads nothing, and the phone file is closed.
    EXPECT_TRUE(download(5000, 0, {}, &complete).empty());
    EXPECT_FALSE(complete);
    EXPECT_FALSE(phone.hasOpenFile());
    // Answers over the chunk size, and one-byte error answers, are not stored.
    phone.injectFault(
        Fault(FaultKind::DeclareLength).forCommand(p2k::kCmdFileSystem, p2k::kFsRead).after(1).declaring(4001));
    EXPECT_EQ(download(4000, 0, {}, &complete), head(4000));
    EXPECT_FALSE(complete);
    phone.injectFault(Fault(FaultKind::ErrorStatus).forCommand(p2k::kCmdFileSystem, p2k::kFsRead).after(2));
    EXPECT_EQ(download(4000, 0, {}, &complete), head(8000));
    EXPECT_FALSE(complete);
    // The phone leaves the bus while the second chunk is fetched.
    phone.injectFault(Fault(FaultKind::DropAtFetch).forCommand(p2k::kCmdFileSystem, p2k::kFsRead).after(1));
    log.clear();
    EXPECT_EQ(download(4000, 0, {}, &complete), head(4000));
    EXPECT_FALSE(complete);
    EXPECT_EQ(log.texts(), (Texts{"File Open Phone", "File Read Phone", "File Read Phone Failed - Error Read Command",
                                  "File Close Phone Failed - Error Read Command", "File Download Phone"}));
}

TEST_F(phoneServices, UploadWritesInChunksOfAtMost1024)
{
    const Bytes content = randomBytes(2500, 5);
    std::vector<int32_t> done;
    EXPECT_TRUE(upload(content, 1000, [&](int32_t d, int32_t total) {
        EXPECT_EQ(total, 2500);
        done.push_back(d);
        return true;
    }));
    EXPECT_EQ(onPhone(), content);
    EXPECT_EQ(fileCommands(), (FsCalls{{0, 0}, {2, 1000}, {2, 1000}, {2, 500}, {4, 0}}));
    EXPECT_EQ(done, (std::vector<int32_t>{1000, 2000, 2500}));
    EXPECT_EQ(log.last(), "File Upload Phone");
    // A chunk above 1024 bytes sends nothing and fails.
    EXPECT_FALSE(upload(randomBytes(2000, 6), 2000));
    EXPECT_EQ(fileCommands().size(), 7u); // open and close only
    // Empty bytes open and close the phone file and succeed.
    EXPECT_TRUE(upload({}, 1000));
    EXPECT_TRUE(onPhone().empty());
    // A callback answering false stops the upload, which then fails.
    EXPECT_FALSE(upload(content, 1000, [](int32_t, int32_t) { return false; }));
    EXPECT_EQ(onPhone().size(), 1000u);
}

// Every way a phone can refuse or lose an upload makes it fail, and the
// phone file is closed each time.
TEST_F(phoneServices, UploadFailures)
{
    const Bytes content = randomBytes(3000, 7);
    EXPECT_FALSE(upload(content, 1000, {}, ""));
    EXPECT_EQ(log.texts(), Texts(1, "File Upload Phone - FileName not normal"));
    EXPECT_TRUE(phone.commands().empty());
    const auto onFile = [](FaultKind kind, uint32_t subcommand) {
        return Fault(kind).forCommand(p2k::kCmdFileSystem, subcommand).after(subcommand == p2k::kFsWrite ? 1 : 0);
    };
    const auto secondWriteFails = [](const std::string& why) {
        return Texts{"File Open Phone", "File Write Phone", "File Write Phone Failed - " + why, "File Close Phone",
                     "File Upload Phone"};
    };
    struct Case {
        const char* what;
        std::optional<Fault> fault;
        Texts reports;
        std::optional<std::size_t> storage = {}; // the phone's free memory
    };
    const Case cases[] = {
        {"the second write's answer cannot be fetched", onFile(FaultKind::FailFetch, p2k::kFsWrite),
         secondWriteFails("Error Read Command")},
        {"the phone refuses the second write", onFile(FaultKind::ErrorStatus, p2k::kFsWrite),
         secondWriteFails("Error Status")},
        {"the phone refuses the open (a path it cannot write)", onFile(FaultKind::ErrorStatus, p2k::kFsOpen),
         {"File Open Phone Failed - Error Status"}},
        {"the open is not sent", onFile(FaultKind::FailSend, p2k::kFsOpen),
         {"File Open Phone Failed - Error Read Command"}},
        {"the memory fills up in the middle of the second chunk", {}, secondWriteFails("Error Status"), 1500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        phone.clearFaults();
        if (c.fault)
            phone.injectFault(*c.fault);
        phone.setStorageLimit(c.storage);
        log.clear();
        EXPECT_FALSE(upload(content, 1000));
        EXPECT_EQ(log.texts(), c.reports);
        EXPECT_FALSE(phone.hasOpenFile());
    }
    EXPECT_EQ(onPhone().size(), 1500u); // what fitted the full memory
    // The phone refuses to close, and so to store, the file.
    phone.setStorageLimit(std::nullopt);
    phone.injectFault(onFile(FaultKind::ErrorStatus, p2k::kFsClose));
    log.clear();
    EXPECT_FALSE(upload(content, 1000));
    EXPECT_EQ(log.texts(), (Texts{"File Open Phone", "File Write Phone", "File Write Phone", "File Write Phone",
                                  "File Close Phone", "File Upload Phone"}));
}
