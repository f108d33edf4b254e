// The component's P2K item running its commands through this backend's
// control transfers, with a phone emulated at the level of USB control
// transfers: what the item sends must arrive as the phone expects it, and
// what the phone sends back must read as the item expects it.
#include "phone/MotoP2KMode.h"
#include "phone/linux/ControlTransfer.h"

#include <gtest/gtest.h>

using namespace vexlon::phone;
using namespace vexlon::phone::lnx;

namespace {

class FakeClock final : public IClock {
public:
    uint32_t nowMs() override { return now; }
    void sleepMs(uint32_t ms) override { now += ms; }
    uint32_t now = 0;
};

uint16_t be16(const std::vector<uint8_t>& bytes, std::size_t at)
{
    return static_cast<uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}

// Answers every command with a prepared answer. The status reply carries
// the number of answers waiting at byte 5 and a size at bytes 6-7; the
// answer reply its data length at bytes 14-15 and the data from byte 18.
class PhonePipe final : public ControlPipe {
public:
    PipeResult run(const ControlTransfer& transfer, std::span<uint8_t> data, uint32_t) override
    {
        PipeResult result;
        result.status = PipeResult::Status::Done;
        std::vector<uint8_t> reply;
        if (!transfer.deviceToHost) {
            packets.push_back(transfer.outData);
            pending = true;
            result.transferred = transfer.outData.size();
            return result;
        }
        if (transfer.request == 0x00) {
            const auto size = static_cast<uint16_t>(answer.size() + 12);
            reply = {0, 0, 0, 0, 0, static_cast<uint8_t>(pending ? 1 : 0), static_cast<uint8_t>(size >> 8),
                     static_cast<uint8_t>(size)};
        } else if (transfer.request == 0x01) {
            fetchLengths.push_back(transfer.length);
            reply.assign(18, 0xEE);
            reply[14] = static_cast<uint8_t>(answer.size() >> 8);
            reply[15] = static_cast<uint8_t>(answer.size());
            reply.insert(reply.end(), answer.begin(), answer.end());
            pending = false;
        }
        const std::size_t n = std::min(reply.size(), data.size());
        std::copy_n(reply.begin(), n, data.begin());
        result.transferred = n;
        return result;
    }
    bool close() override { return true; }

    std::vector<uint8_t> answer;
    bool pending = false;
    std::vector<std::vector<uint8_t>> packets;
    std::vector<uint16_t> fetchLengths;
};

// Hands out P2K devices over the emulated phone; nothing else.
class PhoneBackend final : public IDeviceBackend {
public:
    TUSBDevises enumerateDevices(DeviceClass) override { return {}; }
    std::unique_ptr<IDeviceWatcher> watch(DeviceClass) override { return nullptr; }
    std::unique_ptr<IP2KDevice> openP2K(const std::string&) override
    {
        auto pipe = std::make_unique<PhonePipe>();
        phone = pipe.get();
        return std::make_unique<P2KDevice>(std::move(pipe), [this](const std::string& t) { reports.push_back(t); });
    }
    std::unique_ptr<IATPort> openATPort(const std::string&) override { return nullptr; }
    IClock& clock() override { return fakeClock; }

    FakeClock fakeClock;
    PhonePipe* phone = nullptr;
    std::vector<std::string> reports;
};

} // namespace

TEST(P2KItemTest, CommandsAndAnswersCrossTheControlTransfers)
{
    PhoneBackend backend;
    TUSBDevise info;
    info.DevInst = 0x01010708;
    info.DevicePath = "/dev/bus/usb/001/007#8";
    TMotoP2KModemItem item(backend, info);
    ASSERT_TRUE(item.OpenPhone());
    ASSERT_TRUE(backend.phone);

    // A model record: every byte but 0x00 and 0xFF is a character.
    backend.phone->answer = {0x00, 'A', 'B', 0x00, 0xFF, 'C'};
    EXPECT_EQ(item.GetPhoneModel(), "ABC");
    ASSERT_EQ(backend.phone->packets.size(), 1u);
    const auto& packet = backend.phone->packets[0];
    // Header (sequence 1, SEEM read, 8 data bytes) and the SEEM request,
    // without the two bytes that follow the packet.
    ASSERT_EQ(packet.size(), 16u);
    EXPECT_EQ(be16(packet, 0), 1);
    EXPECT_EQ(be16(packet, 2), 0x0020);
    EXPECT_EQ(be16(packet, 4), 8);
    EXPECT_EQ(std::vector<uint8_t>(packet.begin() + 8, packet.end()),
              (std::vector<uint8_t>{0x01, 0x17, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00}));
    // The fetch asks for exactly the answer: 18 header bytes and the data.
    ASSERT_EQ(backend.phone->fetchLengths.size(), 1u);
    EXPECT_EQ(backend.phone->fetchLengths[0], 18 + 6);

    // A restart: a packet of header only.
    backend.phone->answer = {0};
    EXPECT_TRUE(item.RestartPhone());
    ASSERT_EQ(backend.phone->packets.size(), 2u);
    EXPECT_EQ(backend.phone->packets[1].size(), 8u);
    EXPECT_EQ(be16(backend.phone->packets[1], 0), 2);
    EXPECT_EQ(be16(backend.phone->packets[1], 2), 0x0022);
    EXPECT_TRUE(backend.reports.empty());
}
