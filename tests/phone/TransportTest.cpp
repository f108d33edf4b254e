// The command/answer exchange of a P2K item against the virtual phone: packets, polling, the answer fetch, sequence
// numbers and a phone that misbehaves. Time is virtual; nothing sleeps.
#include "phone/P2KBlocks.h"

#include "phone/PhoneTestSupport.h"

using namespace vexlon::phone;
using namespace vexlon::phone::test;
using vexlon::phone::sim::Fault;
using vexlon::phone::sim::FaultKind;

namespace {

constexpr uint16_t kUnknownCommand = 0x0000; // the phone answers FF

class phoneTransport : public P2KPhoneTest {
protected:
    // The command's result, and the caller's area and answer length, filled with 0x77 and set to 0x1234 before.
    struct Result { bool ok; uint16_t length; Bytes area; };
    Result run(uint16_t command = kUnknownCommand, const Bytes& data = {}, std::size_t capacity = 256)
    {
        Result r{false, 0x1234, Bytes(capacity, 0x77)};
        r.ok = item().ExecuteCommand(command, data, r.area, r.length);
        return r;
    }
    Result readModel() { return run(p2k::kCmdSeemRead, p2k::buildSeemRead(0x0117, 1, 0, 0)); }
    // The model record as the phone sends it: status 0, then 34 bytes.
    static constexpr char kModel[35] = "\0MOTORAZR V3";
    const Bytes modelAnswer = Bytes(std::begin(kModel), std::end(kModel));
    void expectUntouched(const Result& r)
    {
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(std::pair(r.length, r.area), std::pair(uint16_t{0x1234}, Bytes(r.area.size(), 0x77)));
    }
};

} // namespace

TEST_F(phoneTransport, AnAnswerIsAnnouncedFetchedAndDelivered)
{
    auto r = readModel();
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(Bytes(r.area.begin(), r.area.begin() + r.length), modelAnswer);
    EXPECT_EQ(clock().totalSleptMs(), 1u); // the one pause: 1 ms between announcement and fetch
    const Bytes sent{0x41, 0x02, 0x00, 0x00, 0x08, 0x00, 0x10, 0x00, 0x00, 0x01, 0x00, 0x20, 0x00,
                     0x08, 0x00, 0x00, 0x01, 0x17, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(exchanges, (decltype(exchanges){{TP2KExchangeDirection::Sent, sent},
                                              {TP2KExchangeDirection::Delivered, modelAnswer}}));
    // Two answers announced are fetched together, with value 2 and length 2*2 + size + 4.
    phone.injectFault(Fault(FaultKind::AnnounceCount).announcing(2));
    r = readModel();
    EXPECT_EQ(Bytes(r.area.begin(), r.area.begin() + r.length), modelAnswer);

    // Sequence numbers go on across reopening, and wrap.
    ASSERT_TRUE(item().ClosePhone());
    ASSERT_TRUE(item().OpenPhone());
    while (phone.commands().size() < 65537)
        ASSERT_TRUE(run().ok);
    std::vector<uint16_t> sequences;
    for (std::size_t i : {0, 1, 2, 65534, 65535, 65536})
        sequences.push_back(phone.commands()[i].sequence);
    EXPECT_EQ(sequences, (std::vector<uint16_t>{1, 2, 3, 0xFFFF, 0, 1}));
}

// A send that runs into its time-out counts as sent; every other failure fails the exchange, leaves the caller's
// area, and the phone usable.
TEST_F(phoneTransport, FailedExchangesAndWhatDoesNotFit)
{
    phone.injectFault(Fault(FaultKind::TimeOutSend));
    EXPECT_EQ(readModel().length, 35);
    clock().set(0xFFFFFFFFu - 100); // the first wait runs across the wrap of the tick counter
    // The fault; whether the phone got the command; whether the status was polled to the deadline, never pausing.
    const std::tuple<Fault, bool, bool> cases[] = {
        {Fault(FaultKind::NeverAnnounce), true, true}, {Fault(FaultKind::AnnounceCount).announcing(0), true, true},
        {Fault(FaultKind::AnnounceCount).announcing(3), true, true}, {Fault(FaultKind::FailSend), false, false},
        {Fault(FaultKind::FailStatus), true, false}, {Fault(FaultKind::TimeOutStatus), true, false},
        {Fault(FaultKind::FailFetch), true, false}, {Fault(FaultKind::TimeOutFetch), true, false}};
    for (const auto& [fault, received, polled] : cases) {
        SCOPED_TRACE(int(fault.kind));
        phone.injectFault(fault);
        const std::size_t commands = phone.commands().size();
        const uint32_t start = clock().nowMs();
        const uint64_t slept = clock().totalSleptMs();
        expectUntouched(run());
        EXPECT_EQ(phone.commands().size(), commands + (received ? 1 : 0));
        const uint32_t waited = clock().nowMs() - start;
        EXPECT_TRUE(!polled || (waited >= p2k::kPollWindowMs && waited < p2k::kPollWindowMs + 10)) << waited;
        EXPECT_TRUE(!polled || clock().totalSleptMs() == slept);
        EXPECT_TRUE(item().IsOpen());
        EXPECT_TRUE(run().ok);
    }
    // Declared 200 bytes, caller offers 10 of 12: 10 delivered, 200 reported.
    phone.injectFault(Fault(FaultKind::DeclareLength).declaring(200));
    Bytes small(12, 0x11);
    uint16_t length = 0;
    ASSERT_TRUE(item().ExecuteCommand(kUnknownCommand, {}, std::span<uint8_t>(small).first(10), length));
    EXPECT_EQ(length, 200);
    EXPECT_EQ((Bytes{small[0], small[9], small[10], small[11]}), (Bytes{0xFF, 0xEE, 0x11, 0x11}));
    EXPECT_EQ(exchanges.back().second.size(), 10u); // only what reached the area is delivered
    // Declared 65535 bytes: never more than the 4083 bytes of the area.
    phone.injectFault(Fault(FaultKind::DeclareLength).declaring(0xFFFF));
    const auto large = run(kUnknownCommand, {}, 8000);
    EXPECT_EQ(large.length, 0xFFFF);
    EXPECT_EQ(large.area[p2k::kMaxAnswerData - 1], 0xEE);
    EXPECT_EQ(large.area[p2k::kMaxAnswerData], 0x77);
    // Data beyond the packet area is refused before anything is sent.
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
    phone.injectFault(Fault(FaultKind::DropAtStatus));
    expectUntouched(run());
    EXPECT_TRUE(item().IsOpen());
    EXPECT_EQ(phone.mode(), sim::PhoneMode::Detached);
    EXPECT_FALSE(run().ok);
    ASSERT_TRUE(item().ClosePhone());
    EXPECT_FALSE(item().OpenPhone());
    EXPECT_EQ(log.last(), "Open Phone Failed");
}
