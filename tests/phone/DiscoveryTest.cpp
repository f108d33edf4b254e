// Discovery: the description filter, the device lists, and the components
// keeping their lists up to date on arrivals and removals.
#include "phone/MotoATMode.h"
#include "phone/USBCtrls.h"

#include "phone/PhoneTestSupport.h"

#include <stdexcept>

using namespace vexlon::phone;
using namespace vexlon::phone::test;
using vexlon::phone::sim::PhoneMode;

namespace {

class phoneDiscovery : public ::testing::Test {
protected:
    ReportLog log;
    sim::VirtualBackend backend;
};

} // namespace

TEST(phoneDiscoveryText, DescriptionFilterPropertyTextAndChanges)
{
    const std::tuple<const char*, const char*, bool> filters[] = {
        {"anything at all", "", true},
        {"motorola usb modem #2", "Motorola USB Modem", true},
        {"Motorola Test Command Interface (V3)", "Test Command Interface", true},
        {"Motorola USB Mode", "Motorola USB Modem", false},
        {"", "Motorola USB Modem", false}};
    for (const auto& [description, filter, matches] : filters)
        EXPECT_EQ(DescriptionMatches(description, filter), matches) << description;

    EXPECT_EQ(ReadStringProperty(std::string(300, 'p')).size(), 257u);
    EXPECT_EQ(ReadStringProperty(std::string("USB\\VID_22B8\0USB\\Class_02\0\0", 28)), "USB\\VID_22B8");
    EXPECT_EQ(ReadStringProperty(""), "");

    EXPECT_EQ(ClassifyDeviceChange("add"), DeviceChange::Arrival);
    EXPECT_EQ(ClassifyDeviceChange("remove"), DeviceChange::Removal);
    EXPECT_EQ(ClassifyDeviceChange("change"), DeviceChange::None);
}

TEST_F(phoneDiscovery, ListsHoldTheMatchingDevicesOnce)
{
    backend.addPhone(PhoneMode::P2K);
    backend.addPhone(PhoneMode::AT);
    backend.plugInOtherDevice("USB Optical Mouse");
    backend.addPhone(PhoneMode::P2K);
    TMotoP2KMode p2k(backend);
    TMotoATMode at(backend);
    EXPECT_EQ(p2k.DeviseList().Count(), 2);
    // The AT class sees every USB device; only the modem matches.
    EXPECT_EQ(backend.enumerateDevices(DeviceClass::ATModem).size(), 4u);
    ASSERT_EQ(at.DeviseList().Count(), 1);
    EXPECT_EQ(at.DeviseList().Items(0)->ModemInfo().DevInst, backend.phone(1).devInst());

    auto& list = p2k.DeviseList();
    EXPECT_EQ(list.Items(-1), nullptr);
    EXPECT_EQ(list.Items(list.Count()), nullptr);
    EXPECT_EQ(list.FindByDevInst(backend.phone(2).devInst()), list.Items(1));
    EXPECT_EQ(list.FindByDevInst(12345), nullptr);
    // A device already listed is not added twice.
    EXPECT_EQ(list.AddDevice(list.Items(0)->ModemInfo()), nullptr);
    EXPECT_EQ(list.Count(), 2);

    // Without notifications the list is still filled, and a host that polls
    // can bring it up to date.
    backend.setWatchAvailable(false);
    TMotoP2KMode quiet(backend);
    EXPECT_FALSE(quiet.Notifying());
    EXPECT_EQ(quiet.NotifyFd(), -1);
    EXPECT_EQ(quiet.ProcessDeviceChanges(), 0);
    EXPECT_EQ(quiet.DeviseList().Count(), 2);
    backend.phone(0).unplug();
    quiet.HandleDeviceChange(DeviceChange::Removal);
    EXPECT_EQ(quiet.DeviseList().Count(), 1);
}

TEST_F(phoneDiscovery, ArrivalsAndRemovalsKeepTheListCurrent)
{
    sim::VirtualPhone& first = backend.addPhone();
    TMotoP2KMode p2k(backend);
    p2k.SetOnDebug(log.handler<TMotoP2KModemItem>());
    Texts events;
    p2k.OnArrival = [&](TMotoP2KMode& sender) {
        EXPECT_EQ(&sender, &p2k);
        events.push_back("arrival " + std::to_string(sender.DeviseList().Count()));
    };
    // An exception in the host's handler is swallowed; the next event still comes.
    p2k.OnRemove = [&](TMotoP2KMode& sender) {
        events.push_back("removal " + std::to_string(sender.DeviseList().Count()));
        throw std::runtime_error("host handler failed");
    };
    ASSERT_TRUE(p2k.Notifying());
    EXPECT_FALSE(readable(p2k.NotifyFd()));

    // A phone that stays keeps its item, open handle and command counter.
    TMotoP2KModemItem* kept = p2k.DeviseList().Items(0);
    ASSERT_TRUE(kept->OpenPhone());
    ASSERT_FALSE(kept->GetPhoneModel().empty());
    sim::VirtualPhone& second = backend.addPhone();
    EXPECT_TRUE(readable(p2k.NotifyFd()));
    EXPECT_EQ(p2k.ProcessDeviceChanges(), 1);
    EXPECT_FALSE(readable(p2k.NotifyFd()));
    EXPECT_EQ(p2k.DeviseList().Items(0), kept);
    EXPECT_TRUE(kept->IsOpen());
    EXPECT_EQ(kept->CommandCounter(), 1u);
    // The debug handler reaches the item that came as well.
    log.clear();
    ASSERT_TRUE(p2k.DeviseList().Items(1)->OpenPhone());
    EXPECT_EQ(log.texts(), Texts{"Open Phone"});

    // Two phones leave at once: the first notification already empties the
    // list; each notification raises its event; the open items are closed.
    first.unplug();
    second.unplug();
    EXPECT_EQ(p2k.ProcessDeviceChanges(), 2);
    EXPECT_EQ(events, (Texts{"arrival 2", "removal 0", "removal 0"}));
    EXPECT_EQ(log.texts(), (Texts{"Open Phone", "Close Phone", "Close Phone"}));
}

TEST_F(phoneDiscovery, TheAtComponentHearsOfEveryUsbDevice)
{
    TMotoATMode at(backend);
    TMotoP2KMode p2k(backend);
    Texts events;
    at.OnArrival = [&](TMotoATMode&) { events.push_back("at arrival"); };
    at.OnRemove = [&](TMotoATMode&) { events.push_back("at removal"); };
    p2k.OnArrival = p2k.OnRemove = [&](TMotoP2KMode&) { events.push_back("p2k"); };
    backend.unplugOtherDevice(backend.plugInOtherDevice("USB Optical Mouse"));
    at.ProcessDeviceChanges();
    p2k.ProcessDeviceChanges();
    EXPECT_EQ(events, (Texts{"at arrival", "at removal"}));
    EXPECT_EQ(at.DeviseList().Count(), 0);
}
