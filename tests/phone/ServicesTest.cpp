// Phone services against the virtual phone: SEEM identity values, the file
// primitives with their limits, whole-file transfers with chunking and
// progress, restart, and transfers that break off.
#include "phone/MotoP2KMode.h"
#include "phone/P2KBlocks.h"
#include "phone/sim/VirtualPhone.h"

#include "phone/PhoneTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

using namespace vexlon::phone;
using namespace vexlon::phone::test;
using vexlon::phone::sim::Fault;
using vexlon::phone::sim::FaultKind;
using Bytes = std::vector<uint8_t>;

namespace {

const std::string kDictionary = "/a/iTAP_User_Dictionary";

class phoneServices : public ::testing::Test {
protected:
    void SetUp() override
    {
        component.SetOnDebug(log.handler<TMotoP2KModemItem>());
        ASSERT_TRUE(item().OpenPhone());
        log.clear();
    }

    TMotoP2KModemItem& item() { return *component.DeviseList().Items(0); }
    std::filesystem::path phoneFile() const { return dir.path() / "a" / "iTAP_User_Dictionary"; }
    std::string local(const std::string& name) const { return (work / name).string(); }

    // The file-system subcommands the phone received, with their counts
    // (read: requested count, write: data bytes).
    std::vector<std::pair<uint32_t, uint32_t>> fileCommands() const
    {
        std::vector<std::pair<uint32_t, uint32_t>> result;
        for (const auto& c : phone.commands()) {
            if (c.command != p2k::kCmdFileSystem)
                continue;
            const uint32_t sub = p2k::readBE32(c.data, 0);
            const uint32_t arg = (sub == p2k::kFsRead || sub == p2k::kFsWrite) ? p2k::readBE32(c.data, 4)
                                 : sub == p2k::kFsOpen ? p2k::readBE32(c.data, 4)
                                                      : 0;
            result.emplace_back(sub, arg);
        }
        return result;
    }

    ReportLog log; // outlives the component, which reports while closing
    TempDir dir;
    TempDir work;
    sim::VirtualBackend backend;
    sim::VirtualPhone& phone = backend.addPhone(dir.path());
    TMotoP2KMode component{backend};
};

using FsCalls = std::vector<std::pair<uint32_t, uint32_t>>;

} // namespace

TEST_F(phoneServices, IdentityValuesFromTheBuiltInRecords)
{
    EXPECT_EQ(item().GetPhoneModel(), "MOTORAZR V3");
    EXPECT_EQ(item().GetPhoneFlexVersion(), "R374_G_0E.30.49R");
    EXPECT_EQ(item().GetPhoneIMEI(), "35000012345678");
    EXPECT_EQ(log.texts(), (std::vector<std::string>{"Read Seem Phone", "GetPhone Model",
                                                     "Read Seem Phone", "Get Phone Flex version",
                                                     "Read Seem Phone", "Get Phone IMEI"}));
    // The IMEI read asks for 9 bytes, the text reads for the whole record.
    const auto& commands = phone.commands();
    ASSERT_EQ(commands.size(), 3u);
    EXPECT_EQ(commands[0].data, p2k::buildSeemRead(0x0117, 1, 0, 0));
    EXPECT_EQ(commands[1].data, p2k::buildSeemRead(0x017F, 1, 0, 0));
    EXPECT_EQ(commands[2].data, p2k::buildSeemRead(0x0004, 1, 0, 9));
}

TEST_F(phoneServices, IdentityValuesFromOverrideFiles)
{
    writeText(dir / ".phone/model", "V360\r\n");
    writeText(dir / ".phone/imei", "490154203237518\n");
    writeFile(dir / ".phone/seem/017f_0001.bin", Bytes{0x41, 0x42, 0x00, 0xFF, 0x43});
    EXPECT_EQ(item().GetPhoneModel(), "V360");
    EXPECT_EQ(item().GetPhoneIMEI(), "49015420323751");
    EXPECT_EQ(item().GetPhoneFlexVersion(), "ABC");
}

TEST_F(phoneServices, SeemReadFailures)
{
    // A record the phone does not have: status byte not 0.
    uint16_t length = 0;
    std::array<uint8_t, 16> buffer{};
    EXPECT_FALSE(item().ReadSeemPhone(0x0999, 1, 0, 0, buffer, length));
    EXPECT_EQ(log.last(), "Read Seem Phone Failed - Error Read Command: no seem or access denided");

    // An answer over 256 bytes is refused as well.
    writeFile(dir / ".phone/seem/0117_0001.bin", Bytes(300, 0x41));
    log.clear();
    EXPECT_EQ(item().GetPhoneModel(), "");
    EXPECT_EQ(log.texts(), (std::vector<std::string>{
                               "Read Seem Phone Failed - Error Read Command: no seem or access denided",
                               "Get Phone Model Failed - Error Read Seem Phone"}));

    // The exchange itself fails.
    phone.injectFault(Fault(FaultKind::NeverAnnounce));
    log.clear();
    EXPECT_EQ(item().GetPhoneIMEI(), "");
    EXPECT_EQ(log.texts(), (std::vector<std::string>{"Read Seem Phone Failed - Error Read Command",
                                                     "Get Phone IMEI Failed - Error Read Seem Phone"}));
    EXPECT_EQ(log.reports.back().type, dtError);

    // A record longer than the caller's buffer fills the buffer only.
    writeFile(dir / ".phone/seem/0117_0002.bin", Bytes(100, 0x42));
    std::array<uint8_t, 20> small{};
    ASSERT_TRUE(item().ReadSeemPhone(0x0117, 2, 0, 0, std::span<uint8_t>(small).first(10), length));
    EXPECT_EQ(length, 100);
    EXPECT_EQ(small[9], 0x42);
    EXPECT_EQ(small[10], 0x00);
}

TEST_F(phoneServices, AClosedPhoneAnswersNothingAndReportsNothing)
{
    ASSERT_TRUE(item().ClosePhone());
    log.clear();
    uint16_t length = 0;
    std::array<uint8_t, 8> buffer{};
    EXPECT_FALSE(item().RestartPhone());
    EXPECT_FALSE(item().ReadSeemPhone(0x0117, 1, 0, 0, buffer, length));
    EXPECT_EQ(item().GetPhoneModel(), "");
    EXPECT_EQ(item().GetPhoneFlexVersion(), "");
    EXPECT_EQ(item().GetPhoneIMEI(), "");
    EXPECT_TRUE(log.reports.empty());

    item().FileDownloadPhone(kDictionary, local("x"), 4000, 0, {});
    EXPECT_FALSE(item().FileUploadPhone(local("x"), kDictionary, 1000, {}));
    EXPECT_EQ(log.texts(), (std::vector<std::string>{"File Download Phone - Phone Not Open",
                                                     "File Upload Phone - Phone Not Open"}));
    EXPECT_TRUE(phone.commands().empty());
}

TEST_F(phoneServices, FilePrimitiveLimits)
{
    std::vector<uint8_t> buffer(5000, 0);
    EXPECT_EQ(item().FileReadPhone(buffer, 4097), 0);
    EXPECT_EQ(item().FileReadPhone(buffer, -1), 0);
    EXPECT_FALSE(item().FileWritePhone(1025, buffer));
    EXPECT_FALSE(item().FileWritePhone(10, std::span<const uint8_t>(buffer).first(9)));
    EXPECT_FALSE(item().FileOpenPhone(std::string(257, 'x'), 0));
    EXPECT_FALSE(item().FileOpenPhone(kDictionary, 0x08));
    EXPECT_TRUE(phone.commands().empty());
    EXPECT_EQ(log.texts(),
              (std::vector<std::string>{
                  "File Read Phone Failed - BuffSize isn`t normal (0 > Buffer Size > 4096)",
                  "File Read Phone Failed - BuffSize isn`t normal (0 > Buffer Size > 4096)",
                  "File Write Phone Failed - BuffSize isn`t normal (0 > Buffer Size > 1024)",
                  "File Write Phone Failed - BuffSize isn`t normal (0 > Buffer Size > 1024)",
                  "File Open Phone Failed - File name isn`t normal",
                  "File Open Phone Failed - Attribute File isn`t normal"}));

    // The limits themselves are sent.
    log.clear();
    EXPECT_TRUE(item().FileOpenPhone("/" + std::string(255, 'y'), 0x81));
    EXPECT_TRUE(item().FileWritePhone(1024, buffer));
    EXPECT_EQ(item().FileReadPhone(buffer, 4096), 1); // open for writing: error answer
    EXPECT_TRUE(item().FileClosePhone());
    // Closing with no file open: the phone answers one byte, so false.
    EXPECT_FALSE(item().FileClosePhone());
    EXPECT_EQ(log.texts(), (std::vector<std::string>{"File Open Phone", "File Write Phone",
                                                     "File Read Phone", "File Close Phone",
                                                     "File Close Phone"}));
    EXPECT_EQ(fileCommands(), (FsCalls{{0, 1}, {2, 1024}, {1, 4096}, {4, 0}, {4, 0}}));
}

TEST_F(phoneServices, DownloadReadsTheWholeFileInChunks)
{
    const Bytes content = randomBytes(10000, 1);
    writeFile(phoneFile(), content);
    std::vector<std::pair<int32_t, int32_t>> progress;
    item().FileDownloadPhone(kDictionary, local("dl.iud"), 4000, 0, [&](int32_t done, int32_t total) {
        progress.emplace_back(done, total);
        return true;
    });
    EXPECT_EQ(readFile(work / "dl.iud"), content);
    // open for reading, reads until the empty read at the end, close.
    EXPECT_EQ(fileCommands(),
              (FsCalls{{0, 0xFF}, {1, 4000}, {1, 4000}, {1, 4000}, {1, 4000}, {4, 0}}));
    // Open-ended: each call sees the total the previous chunk set.
    EXPECT_EQ(progress, (std::vector<std::pair<int32_t, int32_t>>{{4000, 0}, {8000, 4001}, {10000, 8001}}));
    EXPECT_EQ(log.last(), "File Download Phone");
    EXPECT_FALSE(phone.hasOpenFile());
}

TEST_F(phoneServices, DownloadStops)
{
    writeFile(phoneFile(), randomBytes(10000, 2));
    const Bytes content = readFile(phoneFile());

    // With an expected total it stops when the total is reached.
    item().FileDownloadPhone(kDictionary, local("a"), 4000, 8000, {});
    EXPECT_EQ(readFile(work / "a"), Bytes(content.begin(), content.begin() + 8000));

    // A callback answering false stops after that chunk; one that throws
    // is ignored.
    item().FileDownloadPhone(kDictionary, local("b"), 4000, 0, [](int32_t, int32_t) { return false; });
    EXPECT_EQ(readFile(work / "b").size(), 4000u);
    item().FileDownloadPhone(kDictionary, local("c"), 4000, 0, [](int32_t, int32_t) -> bool {
        throw std::runtime_error("host failure");
    });
    EXPECT_EQ(readFile(work / "c"), content);

    // A chunk above the read limit reads nothing, and the phone file is closed.
    item().FileDownloadPhone(kDictionary, local("d"), 5000, 0, {});
    EXPECT_TRUE(std::filesystem::exists(work / "d"));
    EXPECT_TRUE(readFile(work / "d").empty());
    EXPECT_FALSE(phone.hasOpenFile());

    // Answers over the chunk size are not stored.
    phone.injectFault(
        Fault(FaultKind::DeclareLength).forCommand(p2k::kCmdFileSystem, p2k::kFsRead).after(1).declaring(4001));
    item().FileDownloadPhone(kDictionary, local("e"), 4000, 0, {});
    EXPECT_EQ(readFile(work / "e"), Bytes(content.begin(), content.begin() + 4000));

    // The names a download refuses.
    log.clear();
    item().FileDownloadPhone("", local("f"), 4000, 0, {});
    item().FileDownloadPhone("/" + std::string(255, 'n'), local("f"), 4000, 0, {});
    EXPECT_EQ(log.texts(), (std::vector<std::string>{"File Download Phone - FileName not normal",
                                                     "File Download Phone - FileName not normal"}));
    EXPECT_FALSE(std::filesystem::exists(work / "f"));
}

TEST_F(phoneServices, DownloadBrokenOffKeepsWhatArrived)
{
    writeFile(phoneFile(), randomBytes(10000, 3));
    const Bytes content = readFile(phoneFile());
    // The phone leaves the bus while the second chunk is fetched.
    phone.injectFault(Fault(FaultKind::DropAtFetch).forCommand(p2k::kCmdFileSystem, p2k::kFsRead).after(1));
    item().FileDownloadPhone(kDictionary, local("dl"), 4000, 0, {});
    EXPECT_EQ(readFile(work / "dl"), Bytes(content.begin(), content.begin() + 4000));
    const auto texts = log.texts();
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(texts[texts.size() - 3], "File Read Phone Failed - Error Read Command");
    EXPECT_EQ(texts[texts.size() - 2], "File Close Phone Failed - Error Read Command");
    EXPECT_EQ(texts[texts.size() - 1], "File Download Phone");
}

TEST_F(phoneServices, DownloadIntoAnUncreatableFileRaisesAndClosesThePhoneFile)
{
    writeFile(phoneFile(), randomBytes(100, 4));
    EXPECT_THROW(item().FileDownloadPhone(kDictionary, local("missing/dir/x"), 4000, 0, {}),
                 LocalFileError);
    EXPECT_FALSE(phone.hasOpenFile());
    EXPECT_EQ(fileCommands().back().first, p2k::kFsClose);
}

TEST_F(phoneServices, UploadWritesInChunksOfAtMost1024)
{
    const Bytes content = randomBytes(2500, 5);
    writeFile(work / "up.iud", content);
    std::vector<int32_t> done;
    EXPECT_TRUE(item().FileUploadPhone(local("up.iud"), kDictionary, 1000, [&](int32_t d, int32_t total) {
        EXPECT_EQ(total, 2500);
        done.push_back(d);
        return true;
    }));
    EXPECT_EQ(readFile(phoneFile()), content);
    EXPECT_EQ(fileCommands(), (FsCalls{{0, 0}, {2, 1000}, {2, 1000}, {2, 500}, {4, 0}}));
    EXPECT_EQ(done, (std::vector<int32_t>{1000, 2000, 2500}));
    EXPECT_EQ(log.last(), "File Upload Phone");

    // A chunk above 1024 bytes sends nothing and fails.
    writeFile(work / "big.iud", randomBytes(2000, 6));
    EXPECT_FALSE(item().FileUploadPhone(local("big.iud"), kDictionary, 2000, {}));
    EXPECT_EQ(fileCommands().size(), 7u); // open and close only

    // An empty file opens and closes the phone file and succeeds.
    writeFile(work / "empty.iud", {});
    EXPECT_TRUE(item().FileUploadPhone(local("empty.iud"), kDictionary, 1000, {}));
    EXPECT_TRUE(readFile(phoneFile()).empty());

    // A callback answering false stops the upload, which then fails.
    EXPECT_FALSE(item().FileUploadPhone(local("up.iud"), kDictionary, 1000,
                                        [](int32_t, int32_t) { return false; }));
    EXPECT_EQ(readFile(phoneFile()).size(), 1000u);
}

TEST_F(phoneServices, UploadFailures)
{
    writeFile(work / "up.iud", randomBytes(3000, 7));
    // A missing local file or a bad phone name.
    EXPECT_FALSE(item().FileUploadPhone(local("nope.iud"), kDictionary, 1000, {}));
    EXPECT_FALSE(item().FileUploadPhone(local("up.iud"), "", 1000, {}));
    EXPECT_EQ(log.texts(), (std::vector<std::string>{"File Upload Phone - FileName not normal",
                                                     "File Upload Phone - FileName not normal"}));
    EXPECT_TRUE(phone.commands().empty());

    // The second write's answer cannot be fetched: the upload fails and the
    // phone file is still closed.
    phone.injectFault(Fault(FaultKind::FailFetch).forCommand(p2k::kCmdFileSystem, p2k::kFsWrite).after(1));
    log.clear();
    EXPECT_FALSE(item().FileUploadPhone(local("up.iud"), kDictionary, 1000, {}));
    EXPECT_EQ(log.texts(), (std::vector<std::string>{"File Open Phone", "File Write Phone",
                                                     "File Write Phone Failed - Error Read Command",
                                                     "File Close Phone", "File Upload Phone"}));
    EXPECT_FALSE(phone.hasOpenFile());

    // A failed open ends the upload silently.
    phone.injectFault(Fault(FaultKind::FailSend).forCommand(p2k::kCmdFileSystem, p2k::kFsOpen));
    log.clear();
    EXPECT_FALSE(item().FileUploadPhone(local("up.iud"), kDictionary, 1000, {}));
    EXPECT_EQ(log.texts(), (std::vector<std::string>{"File Open Phone Failed - Error Read Command"}));
}

TEST_F(phoneServices, RestartSendsAnEmptyCommandAndThePhoneComesBack)
{
    int arrivals = 0;
    int removals = 0;
    component.OnArrival = [&](TMotoP2KMode&) { ++arrivals; };
    component.OnRemove = [&](TMotoP2KMode&) { ++removals; };
    const uint32_t before = item().ModemInfo().DevInst;
    EXPECT_TRUE(item().RestartPhone());
    EXPECT_EQ(log.last(), "Restart Phone");
    ASSERT_EQ(phone.commands().size(), 1u);
    EXPECT_EQ(phone.commands()[0].command, p2k::kCmdRestart);
    EXPECT_TRUE(phone.commands()[0].data.empty());
    EXPECT_EQ(phone.restarts(), 1);

    EXPECT_EQ(component.ProcessDeviceChanges(), 2);
    EXPECT_EQ(removals, 1);
    EXPECT_EQ(arrivals, 1);
    ASSERT_EQ(component.DeviseList().Count(), 1);
    EXPECT_NE(item().ModemInfo().DevInst, before);
    EXPECT_FALSE(item().IsOpen());

    phone.injectFault(Fault(FaultKind::FailSend));
    ASSERT_TRUE(item().OpenPhone());
    EXPECT_FALSE(item().RestartPhone());
    EXPECT_EQ(log.last(), "Restart Phone Failed");
}
