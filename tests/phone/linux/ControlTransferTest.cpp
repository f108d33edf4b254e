// The request blocks as USB control transfers: the mapping, the refusals, the device
// over a recording pipe, and the component's P2K item running its commands through them.
#include "phone/linux/ControlTransfer.h"

#include "phone/PhoneTestSupport.h"

#include <algorithm>

using namespace vexlon::phone;
using namespace vexlon::phone::lnx;
using vexlon::phone::test::Bytes;

namespace {

// Request blocks written out by hand, not by the code that builds them: a file
// close (sequence 0x0102, 4 data bytes) and a restart (sequence 1, no data).
const InputBlock kClose{{0x41, 0x02, 0, 8, 12}, {0x01, 0x02, 0x00, 0x4A, 0x00, 0x04, 0, 0, 0, 0, 0, 4, 0, 0}};
const InputBlock kRestart{{0x41, 0x02, 0, 8, 8}, {0x00, 0x01, 0x00, 0x22, 0, 0, 0, 0, 0, 0}};
InputBlock statusQuery() { return {{0xC1, 0x00, 0, 8, 8}, {0}}; }
InputBlock answerFetch(uint16_t count, uint16_t length) { return {{0xC1, 0x01, count, 8, length}, {0}}; }

// Records every transfer; answers status queries and fetches with the bytes
// it is given, or fails as it is told.
class FakePipe final : public ControlPipe {
public:
    PipeResult run(const ControlTransfer& transfer, std::span<uint8_t> data, uint32_t timeoutMs) override
    {
        calls.push_back(transfer);
        rooms.push_back(data.size());
        timeouts.push_back(timeoutMs);
        PipeResult result{status, 0, error};
        if (status != PipeResult::Status::Done)
            return result;
        if (!transfer.deviceToHost) {
            result.transferred = transfer.outData.size();
            return result;
        }
        const Bytes& reply = transfer.request == 0x00 ? statusReply : fetchReply;
        result.transferred = std::min(reply.size(), data.size());
        std::copy_n(reply.begin(), result.transferred, data.begin());
        return result;
    }
    bool close() override { return true; }

    std::vector<ControlTransfer> calls;
    std::vector<std::size_t> rooms;
    std::vector<uint32_t> timeouts;
    Bytes statusReply, fetchReply;
    PipeResult::Status status = PipeResult::Status::Done;
    std::string error;
};

} // namespace

TEST(ControlTransferTest, EachRequestBecomesOneVendorTransferOnTheInterface)
{
    struct Case {
        RequestKind kind;
        InputBlock block;
        std::size_t capacity;
        ControlTransfer expected; // type, request, value, index, length, in, data
    };
    const Case cases[] = {
        // Out: the setup fields unchanged, the data stage the header and the
        // command data; the two bytes after it are not sent.
        {RequestKind::Command, kClose, 5,
         {0x41, 0x02, 0, 8, 12, false, {0x01, 0x02, 0x00, 0x4A, 0x00, 0x04, 0, 0, 0, 0, 0, 4}}},
        {RequestKind::Command, kRestart, 5,
         {0x41, 0x02, 0, 8, 8, false, {0x00, 0x01, 0x00, 0x22, 0, 0, 0, 0}}},
        {RequestKind::Status, statusQuery(), 4101, {0xC1, 0x00, 0, 8, 8, true, {}}},
        // The answer count travels in wValue.
        {RequestKind::Fetch, answerFetch(2, 2 * 2 + 100 + 4), 4101, {0xC1, 0x01, 2, 8, 108, true, {}}},
        // A read never exceeds the output area: the fetch length comes from
        // the phone and 16-bit arithmetic lets it reach 65535.
        {RequestKind::Fetch, answerFetch(1, 0xFFFF), 4101, {0xC1, 0x01, 1, 8, 4101, true, {}}},
        {RequestKind::Status, statusQuery(), 4, {0xC1, 0x00, 0, 8, 4, true, {}}},
    };
    for (const auto& c : cases) {
        const auto plan = planTransfer(c.kind, c.block, c.capacity);
        ASSERT_TRUE(plan.transfer) << plan.refusal;
        EXPECT_EQ(*plan.transfer, c.expected) << c.expected.length;
    }

    // Standard requests (GET_DESCRIPTOR, SET_CONFIGURATION) and class
    // requests would reach the device itself; a direction not that of the
    // request kind; a packet whose length claims more than it carries.
    InputBlock overlong = kRestart;
    overlong.setup.length = 200;
    const std::tuple<RequestKind, InputBlock, std::size_t> refused[] = {
        {RequestKind::Status, {{0x80, 0x06, 0x0100, 0, 18}, {0}}, 4101},
        {RequestKind::Command, {{0x00, 0x09, 1, 0, 0}, {}}, 5},
        {RequestKind::Status, {{0xA1, 0x00, 0, 8, 8}, {0}}, 4101},
        {RequestKind::Command, statusQuery(), 5},
        {RequestKind::Fetch, kRestart, 4101},
        {RequestKind::Command, overlong, 5}};
    for (const auto& [kind, block, capacity] : refused) {
        const auto plan = planTransfer(kind, block, capacity);
        EXPECT_FALSE(plan.transfer) << int(block.setup.requestType);
        EXPECT_FALSE(plan.refusal.empty());
    }
    EXPECT_NE(planTransfer(RequestKind::Command, overlong, 5).refusal.find("200"), std::string::npos);
}

TEST(ControlTransferTest, DeviceResultsAndReports)
{
    auto owned = std::make_unique<FakePipe>();
    FakePipe& pipe = *owned;
    std::vector<std::string> reports;
    P2KDevice device(std::move(owned), [&reports](const std::string& t) { reports.push_back(t); });
    // Data read back is the output block from its first byte, never more
    // than the area; a command returns no output block.
    pipe.statusReply = {0, 0, 0, 0, 0, 2, 0x01, 0x23};
    EXPECT_EQ(device.statusQuery(statusQuery(), 4101, 5000).output, pipe.statusReply);
    EXPECT_EQ(pipe.rooms.back(), 8u);
    EXPECT_EQ(pipe.timeouts.back(), 5000u);
    pipe.fetchReply.assign(5000, 0x55);
    const RequestResult fetched = device.answerFetch(answerFetch(1, 0xFFFF), 4101, 5000);
    EXPECT_EQ(fetched.outcome, RequestOutcome::Completed);
    EXPECT_EQ(fetched.output, Bytes(4101, 0x55));
    pipe.fetchReply.resize(24); // a phone that sends less than asked: only what came
    EXPECT_EQ(device.answerFetch(answerFetch(1, 0xFFFF), 4101, 5000).output, Bytes(24, 0x55));
    const RequestResult sent = device.sendCommand(kRestart, 5, 5000);
    EXPECT_EQ(sent.outcome, RequestOutcome::Completed);
    EXPECT_TRUE(sent.output.empty());
    EXPECT_TRUE(reports.empty());

    pipe.status = PipeResult::Status::TimedOut;
    EXPECT_EQ(device.sendCommand(kRestart, 5, 5000).outcome, RequestOutcome::TimedOut);
    // A phone that has gone fails every poll of the transport's tight loop:
    // told once, not once per poll; after a success it is told again.
    pipe.status = PipeResult::Status::Failed;
    pipe.error = "LIBUSB_ERROR_NO_DEVICE";
    for (int i = 0; i < 100; ++i) {
        const auto result = device.statusQuery(statusQuery(), 4101, 5000);
        EXPECT_EQ(result.outcome, RequestOutcome::Failed);
        EXPECT_TRUE(result.output.empty());
    }
    EXPECT_EQ(reports,
              (std::vector<std::string>{"command packet timed out", "status query failed: LIBUSB_ERROR_NO_DEVICE"}));
    pipe.status = PipeResult::Status::Done;
    device.statusQuery(statusQuery(), 4101, 5000);
    pipe.status = PipeResult::Status::Failed;
    device.statusQuery(statusQuery(), 4101, 5000);
    EXPECT_EQ(reports.size(), 3u);

    // A refused block reaches no device.
    const std::size_t calls = pipe.calls.size();
    EXPECT_EQ(device.sendCommand(statusQuery(), 5, 5000).outcome, RequestOutcome::Failed);
    EXPECT_EQ(pipe.calls.size(), calls);
    EXPECT_NE(reports.back().find("refused"), std::string::npos);
    // Time-out 0 is the shortest wait, never "for ever" (0 to libusb).
    pipe.status = PipeResult::Status::Done;
    device.statusQuery(statusQuery(), 4101, 0);
    EXPECT_EQ(pipe.timeouts.back(), 1u);
    // A closed device refuses requests; closing twice is harmless.
    EXPECT_TRUE(device.close());
    EXPECT_TRUE(device.close());
    EXPECT_EQ(device.statusQuery(statusQuery(), 4101, 5000).outcome, RequestOutcome::Failed);
}

// The component's P2K item over a device whose pipe answers as a phone: what the item sends
// must arrive as the phone expects it, and what the phone sends back (answer count at byte 5
// of the status, data length at 14-15 of the answer, data from 18) must read as it expects.
TEST(ControlTransferTest, ItemCommandsAndAnswersCrossTheTransfers)
{
    struct PhoneBackend final : IDeviceBackend {
        TUSBDevises enumerateDevices(DeviceClass) override { return {}; }
        std::unique_ptr<IDeviceWatcher> watch(DeviceClass) override { return nullptr; }
        std::unique_ptr<IP2KDevice> openP2K(const std::string&) override
        {
            auto pipe = std::make_unique<FakePipe>();
            phone = pipe.get();
            phone->statusReply = {0, 0, 0, 0, 0, 1, 0, 6 + 12};
            phone->fetchReply = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE,
                                 0xEE, 0xEE, 0,    6,    0xEE, 0xEE, 0x00, 'A',  'B',  0x00, 0xFF, 'C'};
            return std::make_unique<P2KDevice>(std::move(pipe), [this](const std::string& t) { reports.push_back(t); });
        }
        std::unique_ptr<IATPort> openATPort(const std::string&) override { return nullptr; }
        IClock& clock() override { return virtualClock; }
        sim::VirtualClock virtualClock;
        FakePipe* phone = nullptr;
        std::vector<std::string> reports;
    } backend;
    TMotoP2KModemItem item(backend, TUSBDevise{});
    ASSERT_TRUE(item.OpenPhone());
    // A model record: every byte but 0x00 and 0xFF is a character.
    EXPECT_EQ(item.GetPhoneModel(), "ABC");
    // Header (sequence 1, SEEM read, 8 data bytes) and the SEEM request, not the
    // two bytes after the packet; the fetch asks for 18 header bytes and the data.
    const auto& calls = backend.phone->calls;
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].outData,
              (Bytes{0x00, 0x01, 0x00, 0x20, 0x00, 0x08, 0x00, 0x00, 0x01, 0x17, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(calls[2].request, 0x01);
    EXPECT_EQ(calls[2].length, 18 + 6);
    EXPECT_TRUE(backend.reports.empty());
}
