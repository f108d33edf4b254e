// Discovery: the description filter, the device lists and the components keeping them up to date on arrivals and
// removals; the AT-mode component on the virtual phone's modem port, up to the switch into P2K mode.
#include "phone/MotoATMode.h"

#include "phone/PhoneTestSupport.h"

#include <stdexcept>

using namespace vexlon::phone;
using namespace vexlon::phone::test;
using vexlon::phone::sim::PhoneMode;

TEST(phoneDiscovery, ListsHoldTheMatchingDevicesOnce)
{
    // The description filter: a part of the text, in any case; an empty filter lets everything pass.
    EXPECT_TRUE(DescriptionMatches("any", "") && DescriptionMatches("a motorola usb modem", "Motorola USB Modem"));
    EXPECT_FALSE(DescriptionMatches("Motorola USB Mode", "Motorola USB Modem") || DescriptionMatches("", "USB"));
    sim::VirtualBackend backend;
    backend.addPhone(PhoneMode::P2K);
    backend.addPhone(PhoneMode::AT);
    backend.plugInOtherDevice("USB Optical Mouse"); // a USB device, but no modem
    backend.addPhone(PhoneMode::P2K);
    TMotoP2KMode p2k(backend);
    TMotoATMode at(backend);
    auto& list = p2k.DeviseList();
    ASSERT_EQ(std::pair(list.Count(), at.DeviseList().Count()), std::pair(2, 1));
    EXPECT_EQ(at.DeviseList().Items(0)->ModemInfo().DevInst, backend.phone(1).devInst());
    EXPECT_TRUE(!list.Items(-1) && !list.Items(2) && !list.FindByDevInst(12345));
    EXPECT_EQ(list.FindByDevInst(backend.phone(2).devInst()), list.Items(1));
    EXPECT_EQ(list.AddDevice(list.Items(0)->ModemInfo()), nullptr); // not listed twice
    EXPECT_EQ(list.Count(), 2);
    // Without notifications the list is still filled, and a host that polls can bring it up to date.
    backend.setWatchAvailable(false);
    TMotoP2KMode quiet(backend);
    EXPECT_EQ(std::tuple(quiet.NotifyFd(), quiet.ProcessDeviceChanges(), quiet.DeviseList().Count()),
              std::tuple(-1, 0, 2));
    backend.phone(0).unplug();
    quiet.HandleDeviceChange(DeviceChange::Removal);
    EXPECT_EQ(quiet.DeviseList().Count(), 1);
}

TEST(phoneDiscovery, ArrivalsAndRemovalsKeepTheListCurrent)
{
    ReportLog log;
    sim::VirtualBackend backend;
    sim::VirtualPhone& first = backend.addPhone();
    TMotoP2KMode p2k(backend);
    p2k.SetOnDebug(log.handler<TMotoP2KModemItem>());
    Texts events;
    p2k.OnArrival = [&](TMotoP2KMode& sender) {
        EXPECT_EQ(&sender, &p2k);
        events.push_back("arrival " + std::to_string(sender.DeviseList().Count()));
    };
    p2k.OnRemove = [&](TMotoP2KMode& sender) { // an exception in the host's handler is swallowed
        events.push_back("removal " + std::to_string(sender.DeviseList().Count()));
        throw std::runtime_error("host handler failed");
    };
    // A phone that stays keeps its item, open handle and command counter.
    TMotoP2KModemItem* kept = p2k.DeviseList().Items(0);
    ASSERT_TRUE(kept->OpenPhone());
    ASSERT_FALSE(kept->GetPhoneModel().empty());
    sim::VirtualPhone& second = backend.addPhone();
    EXPECT_TRUE(readable(p2k.NotifyFd())); // the host's loop is woken
    EXPECT_EQ(p2k.ProcessDeviceChanges(), 1);
    EXPECT_EQ(p2k.DeviseList().Items(0), kept);
    EXPECT_TRUE(kept->IsOpen());
    EXPECT_EQ(kept->CommandCounter(), 1u);
    ASSERT_TRUE(p2k.DeviseList().Items(1)->OpenPhone()); // reporting to the same handler
    // Two phones leave at once: the first notification already empties the list; each notification raises its
    // event; the open items are closed.
    first.unplug();
    second.unplug();
    EXPECT_EQ(p2k.ProcessDeviceChanges(), 2);
    EXPECT_EQ(events, (Texts{"arrival 2", "removal 0", "removal 0"}));
    EXPECT_EQ(log.texts,
              (Texts{"Open Phone", "Read Seem Phone", "GetPhone Model", "Open Phone", "Close Phone", "Close Phone"}));
}

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
};

} // namespace

TEST_F(phoneATMode, SwitchingSendsOneLineAndThePhoneComesBackInP2KMode)
{
    TMotoP2KMode p2k{backend};
    ASSERT_TRUE(item().OpenPhone());
    // Values other than 0, 1 and 2 do nothing; 1 and 2 send their lines and leave the phone as it is.
    for (int mode : {3, -1, 1, 2})
        item().SwitchMode(mode);
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

TEST_F(phoneATMode, TimeOutsAndPortsThatFail)
{
    ASSERT_TRUE(item().OpenPhone()); // applies the stored 0, which the port already has: silently
    EXPECT_TRUE(item().OpenPhone()); // already open: the same port, nothing reported again
    item().SetTimeOut(500);
    EXPECT_EQ(phone.portTimeouts(), (PortTimeouts{0, 0, 500, 0, 500}));
    item().SetTimeOut(500);
    // The port applies something else, or fails: reported, and the applied value kept.
    phone.atPort().timeoutRounding = 100;
    item().SetTimeOut(750);
    EXPECT_EQ(item().TimeOut(), 700u);
    phone.atPort() = {.failSetTimeouts = true};
    item().SetTimeOut(900);
    phone.atPort() = {.failGetTimeouts = true};
    item().SetTimeOut(900);
    EXPECT_EQ(item().TimeOut(), 700u);
    // On a closed port only the report changes; reopening applies the stored value.
    phone.atPort() = {};
    ASSERT_TRUE(item().ClosePhone());
    item().SetTimeOut(300);
    EXPECT_EQ(item().TimeOut(), 700u);
    EXPECT_FALSE(item().ClosePhone());
    EXPECT_EQ(log.texts, (Texts{"Open Phone", "Phone Set TimeOut", "Phone Set TimeOut Failed",
                                "Phone Set TimeOut Failed", "Phone Set TimeOut Failed - Error Get TimeOut",
                                "Phone Close", "Phone Set TimeOut Failed", "Close Phone Failed"}));
    log.clear();
    item().SwitchMode(0);
    EXPECT_EQ(log.reports, (std::vector<Report>{{"Phone Write Data Failed", dtError, true},
                                                {"Phone Send Command Failed", dtError, false},
                                                {"Phone Switch Mode Failed - Error Send Command", dtError, false}}));
    ASSERT_TRUE(item().OpenPhone());
    EXPECT_EQ(phone.portTimeouts().readTotalConstant, 700u);
    phone.atPort().failWrite = true;
    EXPECT_FALSE(item().SendCommand("AT"));
    EXPECT_EQ(phone.mode(), PhoneMode::AT);
    // A port whose state cannot be read is stale: closed, and reopened by OpenPhone, which opens the path again.
    phone.atPort().failState = true;
    log.clear();
    EXPECT_FALSE(item().IsOpen());
    phone.atPort().failState = false;
    ASSERT_TRUE(item().OpenPhone());
    phone.atPort().failState = true;
    EXPECT_TRUE(item().OpenPhone());
    EXPECT_EQ(log.texts, (Texts{"Phone Close", "Open Phone", "Phone Close", "Open Phone"}));
    phone.atPort() = {.failOpen = true};
    ASSERT_TRUE(item().ClosePhone());
    EXPECT_FALSE(item().OpenPhone());
    EXPECT_EQ(log.last(), "Open Phone Failed");
}

// A phone that answers the switch line otherwise stays a modem: the item stays open and usable, nothing arrives in
// P2K mode, and a later switch line (or any write, for a switch put off) brings the phone over.
TEST_F(phoneATMode, APhoneThatDoesNotSwitchStaysAnOpenModem)
{
    using sim::ATSwitch;
    using sim::Fault;
    using sim::FaultKind;
    TMotoP2KMode p2k{backend};
    const auto output = [this] {
        const Bytes bytes = phone.takeModemOutput();
        return std::string(bytes.begin(), bytes.end());
    };
    // The reply; how the phone switches; the line written afterwards; whether that brings the phone over.
    const std::tuple<std::string, ATSwitch, std::string, bool> cases[] = {
        {"ERROR", ATSwitch::Never, "AT+Mode=8", true}, // the fault is spent: the second switch line works
        {"OK", ATSwitch::Late, "AT", true},
        {"NO CARRIER", ATSwitch::Never, "AT", false},
    };
    for (const auto& [reply, then, next, switches] : cases) {
        SCOPED_TRACE(reply);
        phone.plugIn(PhoneMode::AT);
        at.ProcessDeviceChanges();
        p2k.ProcessDeviceChanges();
        phone.injectFault(Fault(FaultKind::ATReply).replying(reply, then).repeat(1));
        ASSERT_TRUE(item().OpenPhone());
        log.clear();
        item().SwitchMode(0);
        EXPECT_EQ(output(), "\r\n" + reply + "\r\n");
        EXPECT_EQ(phone.switchPending(), then == ATSwitch::Late);
        EXPECT_EQ(std::tuple(at.ProcessDeviceChanges(), p2k.DeviseList().Count()), std::tuple(0, 0));
        EXPECT_TRUE(item().IsOpen());
        EXPECT_EQ(log.texts, (Texts{"Phone Write Data", "Phone Send Command", "Phone Switch"}));
        EXPECT_TRUE(item().SendCommand(next));
        EXPECT_EQ(phone.mode(), switches ? PhoneMode::P2K : PhoneMode::AT);
        EXPECT_EQ(p2k.ProcessDeviceChanges() > 0, switches);
        EXPECT_EQ(p2k.DeviseList().Count(), switches ? 1 : 0);
        EXPECT_FALSE(phone.completeSwitch());
    }
    EXPECT_EQ(output(), "\r\nOK\r\n"); // the last case's "AT"; a line that is no AT command gets ERROR
    ASSERT_TRUE(item().SendCommand("hello"));
    EXPECT_EQ(output(), "\r\nERROR\r\n");
}
