// `vexlon-cli phone ...` run in-process over the virtual phone.
#include "cli/phone/PhoneCommand.h"

#include "phone/PhoneTestSupport.h"

#include <fstream>
#include <sstream>

using namespace vexlon::cli;
using namespace vexlon::phone::test;

namespace {

class phoneCommand : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(program / "TempFile"); }

    int run(const std::vector<std::string>& args, bool trace = false)
    {
        out.str("");
        err.str("");
        PhoneOptions options;
        options.simulateFolder = phoneDir.path().string();
        options.trace = trace;
        options.dataDir = program.path().string();
        options.saveFile = [](const std::string& path, const std::vector<uint8_t>& bytes, std::string& reason) {
            std::ofstream file(path, std::ios::binary | std::ios::trunc);
            file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
            if (file.flush())
                return true;
            reason = "cannot write " + path;
            return false;
        };
        return runPhoneCommand(options, args, out, err);
    }
    bool errSays(const std::string& text) const { return err.str().find(text) != std::string::npos; }

    std::filesystem::path phoneFile() const { return phoneDir / "a/iTAP_User_Dictionary"; }
    TempDir phoneDir, program, work;
    std::ostringstream out, err;
};

Texts lines(const std::string& text)
{
    Texts result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

} // namespace

TEST_F(phoneCommand, ReadAndWriteMoveTheDictionaryByteForByte)
{
    const Bytes dictionary = randomBytes(12345, 11);
    writeFile(phoneFile(), dictionary);
    const auto copy = work / "copy.iud";
    ASSERT_EQ(run({"read", copy.string()}), 0) << err.str();
    EXPECT_EQ(readFile(copy), dictionary);

    const Bytes replacement = randomBytes(12345, 12);
    writeFile(work / "new.iud", replacement);
    ASSERT_EQ(run({"write", (work / "new.iud").string()}), 0) << err.str();
    EXPECT_EQ(readFile(phoneFile()), replacement);
    EXPECT_EQ(err.str(), "");
}

TEST_F(phoneCommand, FailedTransfersSaySoAndKeepTheEarlierFile)
{
    // The phone has no dictionary file: nothing arrives, nothing is written.
    const auto copy = work / "copy.iud";
    writeText(copy, "earlier");
    EXPECT_EQ(run({"read", copy.string()}), 1);
    EXPECT_TRUE(errSays("failed"));
    EXPECT_TRUE(errSays("File Open Phone Failed - Error Status"));
    EXPECT_EQ(readFile(copy), Bytes({'e', 'a', 'r', 'l', 'i', 'e', 'r'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(work.path()), {}), 1);
    // A target that cannot be written is a file error, told as such.
    writeFile(phoneFile(), randomBytes(100, 1));
    EXPECT_EQ(run({"read", work.path().string()}), 2);
    EXPECT_TRUE(errSays("cannot write"));

    EXPECT_EQ(run({"write", (work / "missing.iud").string()}), 2);
    EXPECT_TRUE(errSays("cannot open"));
}

// A phone that refuses the upload, or whose memory fills up in the middle of
// it, is a failed write: exit status 1, a message saying the phone's
// dictionary may be incomplete, and no restart.
TEST_F(phoneCommand, RefusedWritesAreFailures)
{
    writeFile(work / "in.iud", randomBytes(5100, 3));
    writeText(phoneDir / ".phone/storage", "2500\n");
    EXPECT_EQ(run({"write", (work / "in.iud").string(), "--restart"}), 1);
    EXPECT_TRUE(errSays("File Has not sent"));
    EXPECT_TRUE(errSays("may now be incomplete"));
    EXPECT_TRUE(errSays("File Write Phone Failed - Error Status"));
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(readFile(phoneFile()).size(), 2500u);
}

TEST_F(phoneCommand, InfoShowsTheFourLines)
{
    writeFile(phoneFile(), randomBytes(4321, 13));
    writeText(phoneDir / ".phone/model", "V3i");
    ASSERT_EQ(run({"info"}), 0) << err.str();
    EXPECT_EQ(lines(out.str()), (Texts{"Phone Model-> V3i", "Phone IMEI: 35000012345678",
                                       "Phone Flex: R374_G_0E.30.49R",
                                       "iTAP Users Dictionary file size-> 4321 bytes"}));
    EXPECT_FALSE(std::filesystem::exists(program / "TempFile/trash.iud"));
    // Without a dictionary file the size cannot be told; without any answer
    // at all the command fails.
    std::filesystem::remove(phoneFile());
    ASSERT_EQ(run({"info"}), 0) << err.str();
    EXPECT_EQ(lines(out.str()).back(), "iTAP Users Dictionary file size-> could not be read");
    writeText(phoneDir / ".phone/faults", "ErrorStatus\n");
    EXPECT_EQ(run({"info"}), 1);
    EXPECT_TRUE(errSays("nothing could be read from the phone"));
}

TEST_F(phoneCommand, ListSwitchAndNoPhone)
{
    ASSERT_EQ(run({"list"}), 0);
    const auto listed = lines(out.str());
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].rfind("P2K\t", 0), 0u);
    EXPECT_NE(listed[0].find("\tMotorola Test Command Interface (virtual phone)\tsim:phone1:"), std::string::npos);

    writeText(phoneDir / ".phone/mode", "AT\n");
    ASSERT_EQ(run({"list"}), 0);
    EXPECT_EQ(out.str().rfind("AT\t", 0), 0u);
    EXPECT_EQ(run({"info"}), 1);
    EXPECT_TRUE(errSays("no phone in P2K mode"));
    EXPECT_EQ(run({"switch"}), 0) << err.str();
    EXPECT_NE(out.str().find("Sent AT+Mode=8"), std::string::npos);

    writeText(phoneDir / ".phone/mode", "none\n");
    for (const auto& args : std::vector<Texts>{{"list"}, {"info"}, {"read", (work / "x").string()}, {"restart"}, {"switch"}}) {
        EXPECT_EQ(run(args), 1) << args[0];
        EXPECT_TRUE(errSays("no phone")) << args[0];
    }
}

TEST_F(phoneCommand, UsageErrors)
{
    for (const auto& args : std::vector<Texts>{{}, {"read"}, {"read", "a", "b"}, {"write"}, {"write", "a", "b"},
                                               {"write", "--restart"}, {"list", "x"}, {"frobnicate"}}) {
        EXPECT_EQ(run(args), 2);
        EXPECT_TRUE(errSays("usage"));
    }
    PhoneOptions options;
    options.simulateFolder = (work / "no-such-folder").string();
    EXPECT_EQ(runPhoneCommand(options, {"list"}, out, err), 1);
}

TEST_F(phoneCommand, TraceShowsEveryExchange)
{
    writeFile(work / "in.iud", randomBytes(1500, 14));
    ASSERT_EQ(run({"write", (work / "in.iud").string(), "--restart"}, true), 0) << err.str();
    const auto traced = lines(err.str());
    // open, two writes, close, restart: each a packet and an answer, the
    // whole packet in lower-case hexadecimal.
    ASSERT_EQ(traced.size(), 10u);
    EXPECT_EQ(traced[0], "P2K> 41020000080027000001004a001f00000000000000000000"
                         "2f612f695441505f557365725f44696374696f6e6172790000");
    EXPECT_EQ(traced[1], "P2K< 00");
    // First write: 1000 bytes, setup length 1016 (f8 03), header length 03f0.
    EXPECT_EQ(traced[2].substr(0, 37), "P2K> 410200000800f8030002004a03f00000");
    EXPECT_EQ(traced[2].size(), 5 + 2 * (8 + 8 + 8 + 1000 + 2));
    EXPECT_EQ(traced[7], "P2K< ");
    EXPECT_EQ(traced[8], "P2K> 410200000800080000050022000000000000");
    EXPECT_EQ(traced[9], "P2K< 00");
}
