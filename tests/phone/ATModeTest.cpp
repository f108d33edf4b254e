// The AT-mode component against the virtual phone's modem port: opening,
// time-outs, command lines and the switch into P2K mode.
#include "phone/MotoATMode.h"

#include "phone/PhoneTestSupport.h"

using namespace vexlon::phone;
using namespace vexlon::phone::test;
using vexlon::phone::sim::PhoneMode;

namespace {

class phoneATMode : public ::testing::Test {
protected:
    void SetUp() override
    {
        at.SetOnDebug(log.handler<TMotoATModemItem>());
        ASSERT_EQ(at.DeviseList().Count(), 1);
    }
    TMotoATModemItem& item() { return *at.DeviseList().Items(0); }

    ReportLog log; // outlives the component, which reports while closing
    sim::VirtualBackend backend;
    sim::VirtualPhone& phone = backend.addPhone(PhoneMode::AT);
    TMotoATMode at{backend};
    TMotoP2KMode p2k{backend};
};

} // namespace

TEST_F(phoneATMode, SwitchingSendsOneLineAndThePhoneComesBackInP2KMode)
{
    EXPECT_EQ(p2k.DeviseList().Count(), 0);
    ASSERT_TRUE(item().OpenPhone());
    // Values other than 0, 1 and 2 do nothing; 1 and 2 send their lines
    // and leave the phone as it is.
    log.clear();
    item().SwitchMode(3);
    item().SwitchMode(-1);
    EXPECT_TRUE(log.reports.empty());
    item().SwitchMode(1);
    item().SwitchMode(2);
    EXPECT_EQ(phone.mode(), PhoneMode::AT);
    log.clear();
    item().SwitchMode(0);
    Texts written;
    for (const auto& line : phone.atWrites())
        written.emplace_back(line.begin(), line.end());
    EXPECT_EQ(written, (Texts{"AT+Mode=22\r\n", "AT+Mode=24\r\n", "AT+Mode=8\r\n"}));
    EXPECT_EQ(log.reports, (std::vector<Report>{{"Phone Write Data", dtInformation, true},
                                                {"Phone Send Command", dtInformation, false},
                                                {"Phone Switch", dtInformation, false}}));

    // The modem leaves (and a USB device arrives); the P2K interface arrives.
    EXPECT_EQ(at.ProcessDeviceChanges(), 2);
    EXPECT_EQ(at.DeviseList().Count(), 0);
    EXPECT_EQ(p2k.ProcessDeviceChanges(), 1);
    ASSERT_EQ(p2k.DeviseList().Count(), 1);
    ASSERT_TRUE(p2k.DeviseList().Items(0)->OpenPhone());
    EXPECT_EQ(p2k.DeviseList().Items(0)->GetPhoneModel(), "MOTORAZR V3");
}

TEST_F(phoneATMode, ClosedFailingAndStalePorts)
{
    item().SwitchMode(0);
    EXPECT_EQ(log.reports, (std::vector<Report>{{"Phone Write Data Failed", dtError, true},
                                                {"Phone Send Command Failed", dtError, false},
                                                {"Phone Switch Mode Failed - Error Send Command", dtError, false}}));
    EXPECT_FALSE(item().ClosePhone());
    EXPECT_EQ(log.last(), "Close Phone Failed");

    ASSERT_TRUE(item().OpenPhone());
    phone.atPort().failWrite = true;
    log.clear();
    EXPECT_FALSE(item().SendCommand("AT"));
    EXPECT_EQ(log.texts(), (Texts{"Phone Write Data Failed", "Phone Send Command Failed"}));
    EXPECT_EQ(phone.mode(), PhoneMode::AT);

    // A port whose state cannot be read is stale: closed, and reopened by
    // OpenPhone, which opens the path again.
    phone.atPort().failState = true;
    log.clear();
    EXPECT_FALSE(item().IsOpen());
    EXPECT_EQ(log.texts(), (Texts{"Phone Close"}));
    phone.atPort().failState = false;
    ASSERT_TRUE(item().OpenPhone());
    phone.atPort().failState = true;
    log.clear();
    EXPECT_TRUE(item().OpenPhone());
    EXPECT_EQ(log.texts(), (Texts{"Phone Close", "Open Phone"}));

    phone.atPort().failOpen = true;
    phone.atPort().failState = false;
    ASSERT_TRUE(item().ClosePhone());
    log.clear();
    EXPECT_FALSE(item().OpenPhone());
    EXPECT_EQ(log.texts(), (Texts{"Open Phone Failed"}));
}

TEST_F(phoneATMode, TimeOuts)
{
    ASSERT_TRUE(item().OpenPhone());
    // A new item applies its stored 0, which the port already has: silent.
    EXPECT_EQ(log.texts(), (Texts{"Open Phone"}));
    log.clear();
    item().SetTimeOut(500);
    EXPECT_EQ(phone.portTimeouts(), (PortTimeouts{0, 0, 500, 0, 500}));
    item().SetTimeOut(500);
    EXPECT_EQ(log.texts(), (Texts{"Phone Set TimeOut"}));

    // The port applies something else, or fails: reported, and the applied
    // value kept.
    phone.atPort().timeoutRounding = 100;
    item().SetTimeOut(750);
    EXPECT_EQ(log.last(), "Phone Set TimeOut Failed");
    EXPECT_EQ(item().TimeOut(), 700u);
    phone.atPort().failSetTimeouts = true;
    item().SetTimeOut(900);
    EXPECT_EQ(log.last(), "Phone Set TimeOut Failed");
    phone.atPort().failSetTimeouts = false;
    phone.atPort().failGetTimeouts = true;
    item().SetTimeOut(900);
    EXPECT_EQ(log.last(), "Phone Set TimeOut Failed - Error Get TimeOut");
    EXPECT_EQ(item().TimeOut(), 700u);

    // On a closed port only the report changes; reopening applies the
    // stored value.
    phone.atPort() = {};
    ASSERT_TRUE(item().ClosePhone());
    log.clear();
    item().SetTimeOut(300);
    EXPECT_EQ(log.texts(), (Texts{"Phone Set TimeOut Failed"}));
    EXPECT_EQ(item().TimeOut(), 700u);
    ASSERT_TRUE(item().OpenPhone());
    EXPECT_EQ(phone.portTimeouts().readTotalConstant, 700u);
}
