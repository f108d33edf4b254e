#include "phone/linux/ControlTransfer.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vexlon::phone;
using namespace vexlon::phone::lnx;

namespace {

// The three request blocks as the transport builds them, written out byte
// by byte here so the test does not lean on the code that builds them.
InputBlock commandPacket(uint16_t sequence, uint16_t command, std::vector<uint8_t> payload)
{
    const auto n = static_cast<uint16_t>(payload.size());
    InputBlock block;
    block.setup = {0x41, 0x02, 0, 8, static_cast<uint16_t>(n + 8)};
    block.data = {static_cast<uint8_t>(sequence >> 8), static_cast<uint8_t>(sequence),
                  static_cast<uint8_t>(command >> 8), static_cast<uint8_t>(command),
                  static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n), 0, 0};
    block.data.insert(block.data.end(), payload.begin(), payload.end());
    block.data.push_back(0);
    block.data.push_back(0);
    return block;
}

InputBlock statusQuery()
{
    return {{0xC1, 0x00, 0, 8, 8}, {0}};
}

InputBlock answerFetch(uint16_t count, uint16_t length)
{
    return {{0xC1, 0x01, count, 8, length}, {0}};
}

struct Call {
    ControlTransfer transfer;
    std::size_t room = 0;
    uint32_t timeoutMs = 0;
};

// Records every transfer and answers as it is told.
class FakePipe final : public ControlPipe {
public:
    PipeResult run(const ControlTransfer& transfer, std::span<uint8_t> data, uint32_t timeoutMs) override
    {
        calls.push_back({transfer, data.size(), timeoutMs});
        PipeResult result;
        result.status = status;
        result.error = error;
        if (status == PipeResult::Status::Done && transfer.deviceToHost) {
            const std::size_t n = std::min(reply.size(), data.size());
            std::copy_n(reply.begin(), n, data.begin());
            result.transferred = n;
        } else if (status == PipeResult::Status::Done) {
            result.transferred = transfer.outData.size();
        }
        return result;
    }
    bool close() override
    {
        ++closes;
        return true;
    }

    std::vector<Call> calls;
    std::vector<uint8_t> reply;
    PipeResult::Status status = PipeResult::Status::Done;
    std::string error;
    int closes = 0;
};

struct Device {
    FakePipe* pipe = nullptr;
    std::vector<std::string> reports;
    std::unique_ptr<P2KDevice> device;

    Device()
    {
        auto owned = std::make_unique<FakePipe>();
        pipe = owned.get();
        device = std::make_unique<P2KDevice>(std::move(owned),
                                             [this](const std::string& text) { reports.push_back(text); });
    }
};

} // namespace

TEST(ControlTransferTest, EachRequestBecomesOneVendorTransferOnTheInterface)
{
    // Command packet out: the setup fields unchanged, the data stage is the
    // header and the command data; the two bytes after it are not sent.
    const InputBlock packet = commandPacket(0x0102, 0x004A, {0, 0, 0, 4});
    auto plan = planTransfer(RequestKind::Command, packet, 5);
    ASSERT_TRUE(plan.transfer) << plan.refusal;
    EXPECT_FALSE(plan.transfer->deviceToHost);
    EXPECT_EQ(plan.transfer->requestType, 0x41);
    EXPECT_EQ(plan.transfer->request, 0x02);
    EXPECT_EQ(plan.transfer->value, 0);
    EXPECT_EQ(plan.transfer->index, 8);
    EXPECT_EQ(plan.transfer->length, 12);
    EXPECT_EQ(plan.transfer->outData,
              (std::vector<uint8_t>{0x01, 0x02, 0x00, 0x4A, 0x00, 0x04, 0, 0, 0, 0, 0, 4}));

    // A command without data: eight bytes of header.
    plan = planTransfer(RequestKind::Command, commandPacket(1, 0x0022, {}), 5);
    ASSERT_TRUE(plan.transfer);
    EXPECT_EQ(plan.transfer->length, 8);
    EXPECT_EQ(plan.transfer->outData.size(), 8u);

    // Status query in: eight bytes read.
    plan = planTransfer(RequestKind::Status, statusQuery(), 4101);
    ASSERT_TRUE(plan.transfer);
    EXPECT_TRUE(plan.transfer->deviceToHost);
    EXPECT_EQ(plan.transfer->requestType, 0xC1);
    EXPECT_EQ(plan.transfer->request, 0x00);
    EXPECT_EQ(plan.transfer->index, 8);
    EXPECT_EQ(plan.transfer->length, 8);
    EXPECT_TRUE(plan.transfer->outData.empty());

    // Answer fetch in: the answer count travels in wValue.
    plan = planTransfer(RequestKind::Fetch, answerFetch(2, 2 * 2 + 100 + 4), 4101);
    ASSERT_TRUE(plan.transfer);
    EXPECT_EQ(plan.transfer->request, 0x01);
    EXPECT_EQ(plan.transfer->value, 2);
    EXPECT_EQ(plan.transfer->length, 108);
}

TEST(ControlTransferTest, ReadsNeverExceedTheOutputArea)
{
    // The fetch length comes from the phone's status block; 16-bit
    // arithmetic lets it reach 65535, far past the 4101-byte answer area.
    auto plan = planTransfer(RequestKind::Fetch, answerFetch(1, 0xFFFF), 4101);
    ASSERT_TRUE(plan.transfer);
    EXPECT_EQ(plan.transfer->length, 4101);
    plan = planTransfer(RequestKind::Status, statusQuery(), 4);
    ASSERT_TRUE(plan.transfer);
    EXPECT_EQ(plan.transfer->length, 4);
}

TEST(ControlTransferTest, BlocksThatAreNotPhoneRequestsAreRefused)
{
    // Standard requests (a GET_DESCRIPTOR, a SET_CONFIGURATION) and class
    // requests would reach the device itself.
    EXPECT_FALSE(planTransfer(RequestKind::Status, {{0x80, 0x06, 0x0100, 0, 18}, {0}}, 4101).transfer);
    EXPECT_FALSE(planTransfer(RequestKind::Command, {{0x00, 0x09, 1, 0, 0}, {}}, 5).transfer);
    EXPECT_FALSE(planTransfer(RequestKind::Status, {{0xA1, 0x00, 0, 8, 8}, {0}}, 4101).transfer);
    // Direction not that of the request kind.
    EXPECT_FALSE(planTransfer(RequestKind::Command, statusQuery(), 5).transfer);
    EXPECT_FALSE(planTransfer(RequestKind::Fetch, commandPacket(1, 0x22, {}), 4101).transfer);
    // A packet whose length field claims more than it carries.
    InputBlock shortPacket = commandPacket(1, 0x22, {});
    shortPacket.setup.length = 200;
    const auto plan = planTransfer(RequestKind::Command, shortPacket, 5);
    EXPECT_FALSE(plan.transfer);
    EXPECT_NE(plan.refusal.find("200"), std::string::npos);
}

TEST(ControlTransferTest, DataReadBackIsTheOutputBlockFromItsFirstByte)
{
    Device d;
    // Status: two answers waiting, answer size 0x0123.
    d.pipe->reply = {0, 0, 0, 0, 0, 2, 0x01, 0x23};
    RequestResult result = d.device->statusQuery(statusQuery(), 4101, 5000);
    EXPECT_EQ(result.outcome, RequestOutcome::Completed);
    ASSERT_EQ(result.output.size(), 8u);
    EXPECT_EQ(result.output[5], 2);
    EXPECT_EQ(result.output[6], 0x01);
    EXPECT_EQ(result.output[7], 0x23);
    ASSERT_EQ(d.pipe->calls.size(), 1u);
    EXPECT_EQ(d.pipe->calls[0].room, 8u);
    EXPECT_EQ(d.pipe->calls[0].timeoutMs, 5000u);

    // Answer: length at 14-15, data from 18. The phone sends fewer bytes
    // than asked for: only what came is returned.
    std::vector<uint8_t> answer(18, 0);
    answer[14] = 0x00;
    answer[15] = 0x03;
    answer.insert(answer.end(), {'a', 'b', 'c'});
    d.pipe->reply = answer;
    result = d.device->answerFetch(answerFetch(1, 2 + 0x0123 + 4), 4101, 5000);
    EXPECT_EQ(result.outcome, RequestOutcome::Completed);
    EXPECT_EQ(result.output, answer);

    // More than the area: cut to the capacity.
    d.pipe->reply.assign(5000, 0x55);
    result = d.device->answerFetch(answerFetch(1, 0xFFFF), 4101, 5000);
    EXPECT_EQ(result.output.size(), 4101u);

    // A command out returns no output block.
    result = d.device->sendCommand(commandPacket(1, 0x22, {}), 5, 5000);
    EXPECT_EQ(result.outcome, RequestOutcome::Completed);
    EXPECT_TRUE(result.output.empty());
    EXPECT_TRUE(d.reports.empty());
}

TEST(ControlTransferTest, OutcomesAndReports)
{
    Device d;
    d.pipe->status = PipeResult::Status::TimedOut;
    EXPECT_EQ(d.device->sendCommand(commandPacket(1, 0x22, {}), 5, 5000).outcome, RequestOutcome::TimedOut);

    // A phone that has gone fails every poll of the transport's tight loop:
    // told once, not once per poll.
    d.pipe->status = PipeResult::Status::Failed;
    d.pipe->error = "LIBUSB_ERROR_NO_DEVICE";
    for (int i = 0; i < 100; ++i) {
        const auto result = d.device->statusQuery(statusQuery(), 4101, 5000);
        EXPECT_EQ(result.outcome, RequestOutcome::Failed);
        EXPECT_TRUE(result.output.empty());
    }
    ASSERT_EQ(d.reports.size(), 2u);
    EXPECT_EQ(d.reports[0], "command packet timed out");
    EXPECT_EQ(d.reports[1], "status query failed: LIBUSB_ERROR_NO_DEVICE");
    // After a success the same failure is told again.
    d.pipe->status = PipeResult::Status::Done;
    d.pipe->reply = {0, 0, 0, 0, 0, 0, 0, 0};
    d.device->statusQuery(statusQuery(), 4101, 5000);
    d.pipe->status = PipeResult::Status::Failed;
    d.device->statusQuery(statusQuery(), 4101, 5000);
    EXPECT_EQ(d.reports.size(), 3u);

    // A refused block reaches no device.
    const std::size_t calls = d.pipe->calls.size();
    EXPECT_EQ(d.device->sendCommand(statusQuery(), 5, 5000).outcome, RequestOutcome::Failed);
    EXPECT_EQ(d.pipe->calls.size(), calls);
    EXPECT_NE(d.reports.back().find("refused"), std::string::npos);

    // Time-out 0 is the shortest wait, never "for ever" (0 to libusb).
    d.pipe->status = PipeResult::Status::Done;
    d.device->statusQuery(statusQuery(), 4101, 0);
    EXPECT_EQ(d.pipe->calls.back().timeoutMs, 1u);
}

TEST(ControlTransferTest, ClosedDeviceRefusesRequests)
{
    Device d;
    FakePipe* pipe = d.pipe;
    EXPECT_TRUE(d.device->close());
    EXPECT_TRUE(d.device->close());
    EXPECT_EQ(d.device->statusQuery(statusQuery(), 4101, 5000).outcome, RequestOutcome::Failed);
    EXPECT_EQ(d.reports.size(), 1u);
    (void)pipe;  // freed by close; no call may reach it
}
