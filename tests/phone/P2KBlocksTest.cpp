// The request blocks and answer records, byte for byte against blocks written out by hand from the protocol's layout.
#include "phone/P2KBlocks.h"

#include <gtest/gtest.h>

using namespace vexlon::phone;
using namespace vexlon::phone::p2k;
using Bytes = std::vector<uint8_t>;

TEST(phoneBlocks, RequestBlocksAreLaidOutByteForByte)
{
    // The largest data that fits the 4112-byte packet area is 4094 bytes: setup length 4102, header length 4094.
    const Bytes big = serialize(*buildCommandPacket(0xFFFF, 0x0020, Bytes(4094, 0x5A)));
    EXPECT_EQ(big.size(), 4112u);
    EXPECT_FALSE(buildCommandPacket(1, 0x0020, Bytes(4095, 0)));
    const std::pair<Bytes, Bytes> blocks[] = {
        // A command without data: setup length 8, header length 0, two zero bytes after.
        {serialize(*buildCommandPacket(1, kCmdRestart, {})),
         {0x41, 0x02, 0x00, 0x00, 0x08, 0x00, 0x08, 0x00, 0x00, 0x01, 0x00, 0x22, 0, 0, 0, 0, 0, 0}},
        {serialize(*buildCommandPacket(0x0102, kCmdFileSystem, Bytes{0, 0, 0, 1, 0, 0, 0x0F, 0xA0})),
         {0x41, 0x02, 0x00, 0x00, 0x08, 0x00, 0x10, 0x00, 0x01, 0x02, 0x00, 0x4A, 0x00, 0x08, 0, 0,
          0, 0, 0, 1, 0, 0, 0x0F, 0xA0, 0, 0}},
        {{big[6], big[7], big[12], big[13], big[4111]}, {0x06, 0x10, 0x0F, 0xFE, 0x00}},
        {serialize(buildStatusQuery()), {0xC1, 0x00, 0x00, 0x00, 0x08, 0x00, 0x08, 0x00, 0x00}},
        // Fetch length: count*2 + size + 4, in 16-bit arithmetic.
        {serialize(buildAnswerFetch(1, 16)), {0xC1, 0x01, 0x01, 0x00, 0x08, 0x00, 0x16, 0x00, 0x00}},
        {serialize(buildAnswerFetch(2, 0x0123)), {0xC1, 0x01, 0x02, 0x00, 0x08, 0x00, 0x2B, 0x01, 0x00}},
        {serialize(buildAnswerFetch(2, 0xFFFE)), {0xC1, 0x01, 0x02, 0x00, 0x08, 0x00, 0x06, 0x00, 0x00}},
        {buildSeemRead(0x0117, 2, 0x0304, 9), {0x01, 0x17, 0x00, 0x02, 0x03, 0x04, 0x00, 0x09}},
        {buildFileOpen(0x01020381, "/a/b"), {0, 0, 0, 0, 0x01, 0x02, 0x03, 0x81, '/', 'a', '/', 'b'}},
        {buildFileRead(4000), {0, 0, 0, 1, 0, 0, 0x0F, 0xA0}},
        {buildFileWrite(Bytes{0x61, 0x62, 0x63}), {0, 0, 0, 2, 0, 0, 0, 3, 0x61, 0x62, 0x63}},
        {buildFileClose(), {0, 0, 0, 4}}};
    for (std::size_t i = 0; i < std::size(blocks); ++i)
        EXPECT_EQ(blocks[i].first, blocks[i].second) << "block " << i;
}

TEST(phoneBlocks, AnswersPacketsAndRecordsAreRead)
{
    for (const uint8_t count : std::initializer_list<uint8_t>{0, 1, 2, 3}) {
        const StatusInfo status = parseStatusBlock(Bytes{0xAA, 0xAA, 0xAA, 0xAA, 0xAA, count, 0x01, 0x0C});
        EXPECT_EQ(std::tuple(status.answerCount, status.answerSize, status.ready()),
                  std::tuple(count, 0x010C, count == 1 || count == 2));
    }
    EXPECT_FALSE(parseStatusBlock(Bytes{0, 0, 0}).ready()); // too short: nothing waiting

    // Declared length (big-endian) at 14, data from 18, never past the end of the block.
    const auto answer = [](const Bytes& block) {
        const AnswerView view = parseAnswerBlock(block);
        return std::pair(int(view.declaredLength), Bytes(view.available.begin(), view.available.end()));
    };
    Bytes block(14, 0xEE);
    block.insert(block.end(), {0x00, 0x03, 0xEE, 0xEE, 0x10, 0x20, 0x30, 0x40});
    EXPECT_EQ(answer(block), std::pair(3, Bytes{0x10, 0x20, 0x30}));
    block[14] = block[15] = 0xFF;
    EXPECT_EQ(answer(block), std::pair(0xFFFF, Bytes{0x10, 0x20, 0x30, 0x40}));
    EXPECT_EQ(answer(Bytes(10, 0xFF)).second, Bytes{});

    // The phone's side: a packet is taken apart only when every field agrees.
    const Bytes wire{0x41, 0x02, 0x00, 0x00, 0x08, 0x00, 0x0A, 0x00, 0x00, 0x07,
                     0x00, 0x20, 0x00, 0x02, 0x00, 0x00, 0xAB, 0xCD, 0x00, 0x00};
    const auto input = parseInputBlock(wire);
    ASSERT_TRUE(input);
    EXPECT_EQ(input->setup, (SetupBlock{0x41, 0x02, 0, 8, 10}));
    const auto packet = parseCommandPacket(*input);
    ASSERT_TRUE(packet);
    EXPECT_EQ(std::tuple(packet->sequence, packet->command, packet->data), std::tuple(7, 0x0020, Bytes{0xAB, 0xCD}));
    const auto accepted = [&input](auto change) {
        InputBlock changed = *input;
        change(changed);
        return parseCommandPacket(changed).has_value();
    };
    EXPECT_FALSE(accepted([](InputBlock& b) { b.setup.length = 11; })); // disagrees with the header
    EXPECT_FALSE(accepted([](InputBlock& b) { b.data.pop_back(); }));   // trailing zero bytes missing
    EXPECT_FALSE(accepted([](InputBlock& b) { b.setup.requestType = 0xC1; }));
    EXPECT_FALSE(parseInputBlock(Bytes{0x41, 0x02, 0x00}));

    // Open attributes: bit 7 alone reads; beside others it is ignored; bits 3-6 are refused.
    const std::pair<uint8_t, std::optional<uint32_t>> attributes[] = {
        {0x80, 0xFF}, {0x00, 0}, {0x81, 1}, {0x87, 7}, {0x05, 5}, {0x08, {}}, {0x40, {}}, {0xC1, {}}};
    for (const auto& [flags, value] : attributes)
        EXPECT_EQ(openAttributeValue(flags), value) << int(flags);

    // A first byte of 8, or of 7 in exactly 9 bytes, takes the nibble rule (missing bytes read as zero); otherwise
    // every byte but 00 and FF is two hex digits.
    const std::pair<Bytes, std::string> imeis[] = {
        {{0x08, 0x3A, 0x21, 0x43, 0x65, 0x87, 0x09, 0x21, 0x43}, "31234567890123"},
        {{0x07, 0x3A, 0x21, 0x43, 0x65, 0x87, 0x09, 0x21, 0x43}, "31234567890123"},
        {{0x07, 0x3A, 0x21, 0x43, 0x65, 0x87, 0x09, 0x21}, "073A214365870921"},
        {{0x12, 0x00, 0xFF, 0xAB}, "12AB"}, {{0x08, 0x3A, 0x21}, "31200000000000"}};
    for (const auto& [record, imei] : imeis)
        EXPECT_EQ(decodeIMEI(record), imei) << imei;
}
