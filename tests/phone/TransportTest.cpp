// The command/answer exchange of a P2K item against the virtual phone:
// packets, polling, the answer fetch, sequence numbers and a phone that
// misbehaves. Time is virtual; nothing sleeps.
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
    struct Result {
        bool ok;
        uint16_t length; // 0x1234 when untouched
        Bytes area;      // the caller's area, filled with 0x77 beforehand
    };
    Result run(uint16_t command = kUnknownCommand, const Bytes& data = {}, std::size_t capacity = 256)
    {
        Result r{false, 0x1234, Bytes(capacity, 0x77)};
        r.ok = item().ExecuteCommand(command, data, r.area, r.length);
        return r;
    }
    Result readModel() { return run(p2k::kCmdSeemRead, p2k::buildSeemRead(0x0117, 1, 0, 0)); }
    // The model record as the phone sends it: status 0, then 34 bytes.
    static Bytes modelAnswer()
    {
        Bytes record{0x00, 'M', 'O', 'T', 'O', 'R', 'A', 'Z', 'R', ' ', 'V', '3'};
        record.resize(35, 0x00);
        return record;
    }
    void expectUntouched(const Result& r)
    {
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.length, 0x1234);
        EXPECT_EQ(r.area, Bytes(r.area.size(), 0x77));
    }
};

} // namespace

TEST_F(phoneTransport, AnAnswerIsAnnouncedFetchedAndDelivered)
{
    auto r = readModel();
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(Bytes(r.area.begin(), r.area.begin() + r.length), modelAnswer());
    // The one pause of an exchange: 1 ms between announcement and fetch.
    EXPECT_EQ(clock().totalSleptMs(), 1u);
    EXPECT_TRUE(log.reports.empty());
    const Bytes sent{0x41, 0x02, 0x00, 0x00, 0x08, 0x00, 0x10, 0x00, 0x00, 0x01, 0x00, 0x20, 0x00,
                     0x08, 0x00, 0x00, 0x01, 0x17, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(exchanges, (decltype(exchanges){{TP2KExchangeDirection::Sent, sent},
                                              {TP2KExchangeDirection::Delivered, modelAnswer()}}));

    // Two announced answers are fetched together: the phone accepts the
    // fetch only with value 2 and length 2*2 + size + 4.
    phone.injectFault(Fault(FaultKind::AnnounceCount).announcing(2));
    r = readModel();
    EXPECT_EQ(Bytes(r.area.begin(), r.area.begin() + r.length), modelAnswer());
    EXPECT_EQ(phone.malformedRequests(), 0);
}

TEST_F(phoneTransport, SequenceNumbersCountOnAcrossReopeningAndWrap)
{
    run();
    ASSERT_TRUE(item().ClosePhone());
    ASSERT_TRUE(item().OpenPhone());
    while (phone.commands().size() < 65537)
        ASSERT_TRUE(run().ok);
    std::vector<uint16_t> sequences;
    for (std::size_t i : {0, 1, 65534, 65535, 65536})
        sequences.push_back(phone.commands()[i].sequence);
    EXPECT_EQ(sequences, (std::vector<uint16_t>{1, 2, 0xFFFF, 0, 1}));
}

// A send that runs into its time-out counts as sent; every other failure
// fails the exchange, leaves the caller's area, and the phone usable.
TEST_F(phoneTransport, FailedExchanges)
{
    phone.injectFault(Fault(FaultKind::TimeOutSend));
    EXPECT_EQ(readModel().length, 35);
    // The first wait runs across the wrap of the tick counter.
    clock().set(0xFFFFFFFFu - 100);
    struct Case {
        Fault fault;
        bool received; // the phone got the command
        bool polled;   // no usable announcement: polled to the deadline, never pausing
    };
    const Case cases[] = {
        {Fault(FaultKind::NeverAnnounce), true, true}, {Fault(FaultKind::AnnounceCount).announcing(0), true, true},
        {Fault(FaultKind::AnnounceCount).announcing(3), true, true}, {Fault(FaultKind::FailSend), false, false},
        {Fault(FaultKind::FailStatus), true, false}, {Fault(FaultKind::TimeOutStatus), true, false},
        {Fault(FaultKind::FailFetch), true, false}, {Fault(FaultKind::TimeOutFetch), true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.fault.kind));
        phone.injectFault(c.fault);
        const std::size_t received = phone.commands().size();
        const uint32_t start = clock().nowMs();
        const uint64_t slept = clock().totalSleptMs();
        expectUntouched(run());
        EXPECT_EQ(phone.commands().size(), received + (c.received ? 1 : 0));
        if (c.polled) {
            EXPECT_GE(clock().nowMs() - start, p2k::kPollWindowMs);
            EXPECT_LT(clock().nowMs() - start, p2k::kPollWindowMs + 10);
            EXPECT_EQ(clock().totalSleptMs(), slept);
        }
        EXPECT_TRUE(item().IsOpen());
        EXPECT_TRUE(run().ok);
    }
}

TEST_F(phoneTransport, WhatDoesNotFitIsCutOrNeverSent)
{
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
    // The phone leaves the bus mid-exchange: the open handle fails every
    // exchange without closing, and the phone cannot be opened again.
    for (FaultKind kind : {FaultKind::DropAtSend, FaultKind::DropAtStatus, FaultKind::DropAtFetch}) {
        SCOPED_TRACE(int(kind));
        phone.plugIn(sim::PhoneMode::P2K);
        component.HandleDeviceChange(DeviceChange::Arrival);
        ASSERT_EQ(component.DeviseList().Count(), 1);
        ASSERT_TRUE(item().OpenPhone());
        phone.injectFault(Fault(kind));
        expectUntouched(run());
        EXPECT_TRUE(item().IsOpen());
        EXPECT_EQ(phone.mode(), sim::PhoneMode::Detached);
        EXPECT_FALSE(run().ok);
    }
    ASSERT_TRUE(item().ClosePhone());
    EXPECT_FALSE(item().OpenPhone());
    EXPECT_EQ(log.last(), "Open Phone Failed");
}
