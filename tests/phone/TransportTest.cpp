// The command/answer exchange of a P2K item against the virtual phone:
// packets, polling, the answer fetch, sequence numbers and a phone that
// misbehaves. Time is virtual; nothing sleeps.
#include "phone/MotoP2KMode.h"
#include "phone/P2KBlocks.h"
#include "phone/sim/VirtualPhone.h"

#include "phone/PhoneTestSupport.h"

#include <gtest/gtest.h>

using namespace vexlon::phone;
using namespace vexlon::phone::test;
using vexlon::phone::sim::Fault;
using vexlon::phone::sim::FaultKind;
using Bytes = std::vector<uint8_t>;

namespace {

constexpr uint16_t kUnknownCommand = 0x0000; // the phone answers FF

class phoneTransport : public ::testing::Test {
protected:
    void SetUp() override
    {
        component.SetOnDebug(log.handler<TMotoP2KModemItem>());
        ASSERT_EQ(component.DeviseList().Count(), 1);
        ASSERT_TRUE(item().OpenPhone());
        log.clear();
    }

    TMotoP2KModemItem& item() { return *component.DeviseList().Items(0); }

    bool run(uint16_t command, const Bytes& data, std::span<uint8_t> answer, uint16_t& length)
    {
        return item().ExecuteCommand(command, data, answer, length);
    }

    bool runSimple()
    {
        std::array<uint8_t, 4> answer{};
        uint16_t length = 0;
        return run(kUnknownCommand, {}, answer, length);
    }

    // The model record as the phone sends it: status 0, then 34 bytes.
    static Bytes modelAnswer()
    {
        Bytes record{0x00};
        const std::string model = "MOTORAZR V3";
        record.insert(record.end(), model.begin(), model.end());
        record.resize(35, 0x00);
        return record;
    }

    ReportLog log; // outlives the component, which reports while closing
    TempDir dir;
    sim::VirtualBackend backend;
    sim::VirtualPhone& phone = backend.addPhone(dir.path());
    TMotoP2KMode component{backend};
};

} // namespace

TEST_F(phoneTransport, AnAnswerIsAnnouncedFetchedAndDelivered)
{
    std::array<uint8_t, 256> answer{};
    uint16_t length = 0;
    const uint64_t sleptBefore = backend.virtualClock().totalSleptMs();
    ASSERT_TRUE(run(p2k::kCmdSeemRead, p2k::buildSeemRead(0x0117, 1, 0, 0), answer, length));
    EXPECT_EQ(length, 35);
    EXPECT_EQ(Bytes(answer.begin(), answer.begin() + 35), modelAnswer());
    // The one pause of an exchange: 1 ms between announcement and fetch.
    EXPECT_EQ(backend.virtualClock().totalSleptMs() - sleptBefore, 1u);
    // The exchange itself reports nothing.
    EXPECT_TRUE(log.reports.empty());
    EXPECT_EQ(phone.malformedRequests(), 0);
}

TEST_F(phoneTransport, SequenceNumbersStartAtOneAndSurviveReopening)
{
    ASSERT_TRUE(runSimple());
    ASSERT_TRUE(runSimple());
    ASSERT_TRUE(item().ClosePhone());
    ASSERT_TRUE(item().OpenPhone());
    ASSERT_TRUE(runSimple());
    ASSERT_EQ(phone.commands().size(), 3u);
    EXPECT_EQ(phone.commands()[0].sequence, 1);
    EXPECT_EQ(phone.commands()[1].sequence, 2);
    EXPECT_EQ(phone.commands()[2].sequence, 3);
    EXPECT_EQ(item().CommandCounter(), 3u);
}

TEST_F(phoneTransport, SequenceNumbersWrapFrom65535ToZero)
{
    for (int i = 0; i < 65535; ++i)
        ASSERT_TRUE(runSimple());
    ASSERT_TRUE(runSimple());
    ASSERT_TRUE(runSimple());
    const auto& commands = phone.commands();
    ASSERT_EQ(commands.size(), 65537u);
    EXPECT_EQ(commands[65534].sequence, 0xFFFF);
    EXPECT_EQ(commands[65535].sequence, 0);
    EXPECT_EQ(commands[65536].sequence, 1);
}

TEST_F(phoneTransport, NoUsableAnnouncementFailsAtThePollDeadline)
{
    const Fault faults[] = {
        Fault(FaultKind::NeverAnnounce),
        Fault(FaultKind::AnnounceCount).announcing(0),
        Fault(FaultKind::AnnounceCount).announcing(3),
    };
    for (const Fault& fault : faults) {
        phone.injectFault(fault);
        std::array<uint8_t, 8> answer;
        answer.fill(0x77);
        uint16_t length = 0x1234;
        const uint32_t start = backend.virtualClock().nowMs();
        const uint64_t slept = backend.virtualClock().totalSleptMs();
        EXPECT_FALSE(run(kUnknownCommand, {}, answer, length));
        const uint32_t elapsed = backend.virtualClock().nowMs() - start;
        EXPECT_GE(elapsed, p2k::kPollWindowMs);
        EXPECT_LT(elapsed, p2k::kPollWindowMs + 10);
        // Polling never pauses.
        EXPECT_EQ(backend.virtualClock().totalSleptMs(), slept);
        EXPECT_EQ(length, 0x1234);
        for (uint8_t b : answer)
            ASSERT_EQ(b, 0x77);
        EXPECT_TRUE(item().IsOpen());
        // The phone is not stuck: the next command goes through.
        EXPECT_TRUE(runSimple());
    }
}

TEST_F(phoneTransport, PollDeadlineHoldsWhenTheTickCounterWraps)
{
    backend.virtualClock().set(0xFFFFFFFFu - 100);
    phone.injectFault(Fault(FaultKind::NeverAnnounce));
    const uint32_t start = backend.virtualClock().nowMs();
    EXPECT_FALSE(runSimple());
    EXPECT_GE(backend.virtualClock().nowMs() - start, p2k::kPollWindowMs);
}

TEST_F(phoneTransport, TwoAnnouncedAnswersAreFetchedTogether)
{
    phone.injectFault(Fault(FaultKind::AnnounceCount).announcing(2));
    std::array<uint8_t, 256> answer{};
    uint16_t length = 0;
    // The phone accepts the fetch only with value 2 and length 2*2 + size + 4.
    ASSERT_TRUE(run(p2k::kCmdSeemRead, p2k::buildSeemRead(0x0117, 1, 0, 0), answer, length));
    EXPECT_EQ(Bytes(answer.begin(), answer.begin() + length), modelAnswer());
    EXPECT_EQ(phone.malformedRequests(), 0);
}

TEST_F(phoneTransport, RequestOutcomes)
{
    // A send that runs into its time-out counts as sent.
    phone.injectFault(Fault(FaultKind::TimeOutSend));
    std::array<uint8_t, 256> answer{};
    uint16_t length = 0;
    EXPECT_TRUE(run(p2k::kCmdSeemRead, p2k::buildSeemRead(0x0117, 1, 0, 0), answer, length));
    EXPECT_EQ(length, 35);

    // Every other failure fails the exchange and leaves the caller's area.
    struct Case {
        FaultKind kind;
        bool received; // whether the phone got the command
    };
    for (const Case c : {Case{FaultKind::FailSend, false}, Case{FaultKind::FailStatus, true},
                         Case{FaultKind::TimeOutStatus, true}, Case{FaultKind::FailFetch, true},
                         Case{FaultKind::TimeOutFetch, true}}) {
        const std::size_t before = phone.commands().size();
        phone.injectFault(Fault(c.kind));
        answer.fill(0x55);
        length = 0xABCD;
        EXPECT_FALSE(run(kUnknownCommand, {}, answer, length)) << int(c.kind);
        EXPECT_EQ(length, 0xABCD) << int(c.kind);
        EXPECT_EQ(answer[0], 0x55) << int(c.kind);
        EXPECT_EQ(phone.commands().size(), before + (c.received ? 1 : 0)) << int(c.kind);
        EXPECT_TRUE(item().IsOpen());
    }
}

TEST_F(phoneTransport, AnswersLongerThanTheCallersAreaAreCut)
{
    // Declared 200 bytes, caller offers 10: 10 delivered, 200 reported.
    phone.injectFault(Fault(FaultKind::DeclareLength).declaring(200));
    std::array<uint8_t, 12> small;
    small.fill(0x11);
    uint16_t length = 0;
    ASSERT_TRUE(item().ExecuteCommand(kUnknownCommand, {}, std::span<uint8_t>(small).first(10),
                                      length));
    EXPECT_EQ(length, 200);
    EXPECT_EQ(small[0], 0xFF); // the phone's own answer byte
    EXPECT_EQ(small[9], 0xEE);
    EXPECT_EQ(small[10], 0x11); // untouched past the offered capacity
    EXPECT_EQ(small[11], 0x11);

    // Declared 65535 bytes: never more than the 4083 bytes of the area.
    phone.injectFault(Fault(FaultKind::DeclareLength).declaring(0xFFFF));
    std::vector<uint8_t> large(8000, 0x22);
    ASSERT_TRUE(item().ExecuteCommand(kUnknownCommand, {}, large, length));
    EXPECT_EQ(length, 0xFFFF);
    EXPECT_EQ(large[p2k::kMaxAnswerData - 1], 0xEE);
    EXPECT_EQ(large[p2k::kMaxAnswerData], 0x22);
}

TEST_F(phoneTransport, DataThatDoesNotFitIsNeverSent)
{
    std::array<uint8_t, 1> answer{};
    uint16_t length = 0;
    EXPECT_FALSE(run(kUnknownCommand, Bytes(4095, 1), answer, length));
    EXPECT_TRUE(phone.commands().empty());
    EXPECT_TRUE(run(kUnknownCommand, Bytes(4094, 1), answer, length));
    EXPECT_EQ(phone.commands().at(0).data.size(), 4094u);
}

TEST_F(phoneTransport, OpeningAndClosing)
{
    EXPECT_TRUE(item().OpenPhone()); // already open: silent
    EXPECT_TRUE(log.reports.empty());
    EXPECT_TRUE(item().ClosePhone());
    EXPECT_FALSE(item().IsOpen());
    EXPECT_FALSE(item().ClosePhone());
    EXPECT_FALSE(runSimple());
    EXPECT_TRUE(item().OpenPhone());
    EXPECT_EQ(log.reports, (std::vector<Report>{{"Close Phone", dtInformation, false},
                                                {"Close Phone Failed", dtError, false},
                                                {"Open Phone", dtInformation, false}}));

    // A phone that left the bus cannot be opened, and its open handle
    // fails every exchange without closing.
    ASSERT_TRUE(item().ClosePhone());
    phone.unplug();
    log.clear();
    EXPECT_FALSE(item().OpenPhone());
    EXPECT_EQ(log.last(), "Open Phone Failed");
    EXPECT_FALSE(item().IsOpen());
}

TEST_F(phoneTransport, PhoneLeavingTheBusMidExchange)
{
    for (FaultKind kind : {FaultKind::DropAtSend, FaultKind::DropAtStatus, FaultKind::DropAtFetch}) {
        phone.plugIn(sim::PhoneMode::P2K);
        component.HandleDeviceChange(DeviceChange::Arrival);
        ASSERT_EQ(component.DeviseList().Count(), 1);
        ASSERT_TRUE(item().OpenPhone());
        phone.injectFault(Fault(kind));
        EXPECT_FALSE(runSimple()) << int(kind);
        EXPECT_TRUE(item().IsOpen());
        EXPECT_EQ(phone.mode(), sim::PhoneMode::Detached);
        EXPECT_FALSE(runSimple());
    }
}

TEST_F(phoneTransport, ExchangesCanBeObserved)
{
    std::vector<std::pair<TP2KExchangeDirection, Bytes>> seen;
    component.SetOnExchange(
        [&seen](TMotoP2KModemItem*, TP2KExchangeDirection direction, std::span<const uint8_t> bytes) {
            seen.emplace_back(direction, Bytes(bytes.begin(), bytes.end()));
        });
    std::array<uint8_t, 5> answer{};
    uint16_t length = 0;
    ASSERT_TRUE(run(p2k::kCmdSeemRead, p2k::buildSeemRead(0x0117, 1, 0, 0), answer, length));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].first, TP2KExchangeDirection::Sent);
    EXPECT_EQ(seen[0].second, (Bytes{0x41, 0x02, 0x00, 0x00, 0x08, 0x00, 0x10, 0x00, 0x00, 0x01,
                                     0x00, 0x20, 0x00, 0x08, 0x00, 0x00, 0x01, 0x17, 0x00, 0x01,
                                     0x00, 0x00, 0x00, 0x00, 0x00, 0x00}));
    // Only what reached the caller's area is delivered.
    EXPECT_EQ(seen[1].first, TP2KExchangeDirection::Delivered);
    const Bytes model = modelAnswer();
    EXPECT_EQ(seen[1].second, Bytes(model.begin(), model.begin() + 5));
}
