// The request blocks and answer records, byte for byte against blocks
// written out by hand from the protocol's layout.
#include "phone/P2KBlocks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vexlon::phone;
using namespace vexlon::phone::p2k;
using Bytes = std::vector<uint8_t>;

TEST(phoneBlocks, RequestBlocksAreLaidOutByteForByte)
{
    // A command without data: 18 bytes, setup length 8, header length 0.
    EXPECT_EQ(serialize(*buildCommandPacket(1, kCmdRestart, {})),
              (Bytes{0x41, 0x02, 0x00, 0x00, 0x08, 0x00, 0x08, 0x00, 0x00, 0x01, 0x00, 0x22, 0x00, 0x00, 0x00,
                     0x00, 0x00, 0x00}));
    // A file read of 4000 bytes as command 0x0102: setup length 16 (LE),
    // header big-endian, two zero bytes after the data.
    EXPECT_EQ(serialize(*buildCommandPacket(0x0102, kCmdFileSystem, Bytes{0, 0, 0, 1, 0, 0, 0x0F, 0xA0})),
              (Bytes{0x41, 0x02, 0x00, 0x00, 0x08, 0x00, 0x10, 0x00, 0x01, 0x02, 0x00, 0x4A, 0x00, 0x08, 0x00,
                     0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x0F, 0xA0, 0x00, 0x00}));
    // The largest data that fits the 4112-byte packet area is 4094 bytes:
    // setup length 4102 (LE), header length 4094 (BE).
    const Bytes wire = serialize(*buildCommandPacket(0xFFFF, 0x0020, Bytes(4094, 0x5A)));
    EXPECT_EQ(wire.size(), 4112u);
    EXPECT_EQ((Bytes{wire[6], wire[7], wire[12], wire[13]}), (Bytes{0x06, 0x10, 0x0F, 0xFE}));
    EXPECT_FALSE(buildCommandPacket(1, 0x0020, Bytes(4095, 0)));

    EXPECT_EQ(serialize(buildStatusQuery()), (Bytes{0xC1, 0x00, 0x00, 0x00, 0x08, 0x00, 0x08, 0x00, 0x00}));
    // Fetch length: count*2 + size + 4, in 16-bit arithmetic.
    EXPECT_EQ(serialize(buildAnswerFetch(1, 16)), (Bytes{0xC1, 0x01, 0x01, 0x00, 0x08, 0x00, 0x16, 0x00, 0x00}));
    EXPECT_EQ(serialize(buildAnswerFetch(2, 0x0123)),
              (Bytes{0xC1, 0x01, 0x02, 0x00, 0x08, 0x00, 0x2B, 0x01, 0x00}));
    EXPECT_EQ(buildAnswerFetch(2, 0xFFFE).setup.length, 6);

    EXPECT_EQ(buildSeemRead(0x0117, 1, 0, 0), (Bytes{0x01, 0x17, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(buildSeemRead(0x0004, 1, 0, 9), (Bytes{0x00, 0x04, 0x00, 0x01, 0x00, 0x00, 0x00, 0x09}));
    EXPECT_EQ(buildFileOpen(0x01020381, "/a/b"), (Bytes{0, 0, 0, 0, 0x01, 0x02, 0x03, 0x81, '/', 'a', '/', 'b'}));
    EXPECT_EQ(buildFileRead(4000), (Bytes{0, 0, 0, 1, 0, 0, 0x0F, 0xA0}));
    EXPECT_EQ(buildFileWrite(Bytes{0x61, 0x62, 0x63}), (Bytes{0, 0, 0, 2, 0, 0, 0, 3, 0x61, 0x62, 0x63}));
    EXPECT_EQ(buildFileClose(), (Bytes{0, 0, 0, 4}));
}

TEST(phoneBlocks, StatusAndAnswerBlocksAreReadAtTheirOffsets)
{
    Bytes status{0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0x02, 0x01, 0x0C};
    EXPECT_EQ(parseStatusBlock(status).answerCount, 2);
    EXPECT_EQ(parseStatusBlock(status).answerSize, 0x010C);
    for (int count : {1, 2, 0, 3, 255}) {
        status[5] = static_cast<uint8_t>(count);
        EXPECT_EQ(parseStatusBlock(status).ready(), count == 1 || count == 2) << count;
    }
    // A block too short to hold the fields reads as nothing waiting.
    EXPECT_FALSE(parseStatusBlock(Bytes{0, 0, 0}).ready());

    // Declared length (big-endian) at 14, data from 18.
    Bytes answer(14, 0xEE);
    answer.insert(answer.end(), {0x00, 0x03, 0xEE, 0xEE, 0x10, 0x20, 0x30, 0x40});
    const AnswerView view = parseAnswerBlock(answer);
    EXPECT_EQ(view.declaredLength, 3);
    EXPECT_EQ(Bytes(view.available.begin(), view.available.end()), (Bytes{0x10, 0x20, 0x30}));
    // A declared length beyond the block never reaches past its end.
    answer[14] = answer[15] = 0xFF;
    const AnswerView oversized = parseAnswerBlock(answer);
    EXPECT_EQ(oversized.declaredLength, 0xFFFF);
    EXPECT_EQ(oversized.available.size(), 4u);
    EXPECT_TRUE(parseAnswerBlock(Bytes(10, 0xFF)).available.empty());
}

TEST(phoneBlocks, PhoneSideParsingChecksThePacket)
{
    const Bytes wire{0x41, 0x02, 0x00, 0x00, 0x08, 0x00, 0x0A, 0x00, 0x00, 0x07,
                     0x00, 0x20, 0x00, 0x02, 0x00, 0x00, 0xAB, 0xCD, 0x00, 0x00};
    const auto block = parseInputBlock(wire);
    ASSERT_TRUE(block);
    EXPECT_EQ(block->setup, (SetupBlock{0x41, 0x02, 0, 8, 10}));
    const auto packet = parseCommandPacket(*block);
    ASSERT_TRUE(packet);
    EXPECT_EQ(packet->sequence, 7);
    EXPECT_EQ(packet->command, 0x0020);
    EXPECT_EQ(packet->data, (Bytes{0xAB, 0xCD}));

    auto broken = *block;
    broken.setup.length = 11; // disagrees with the header
    EXPECT_FALSE(parseCommandPacket(broken));
    broken = *block;
    broken.data.pop_back(); // trailing zero bytes missing
    EXPECT_FALSE(parseCommandPacket(broken));
    broken = *block;
    broken.setup.requestType = 0xC1;
    EXPECT_FALSE(parseCommandPacket(broken));
    EXPECT_FALSE(parseInputBlock(Bytes{0x41, 0x02, 0x00}));
}

TEST(phoneBlocks, OpenAttributesAndIdentityRecords)
{
    // Bit 7 alone reads; beside others it is ignored; bits 3-6 are refused.
    const std::pair<uint8_t, std::optional<uint32_t>> attributes[] = {
        {0x80, 0xFF}, {0x00, 0}, {0x81, 1}, {0x87, 7}, {0x05, 5},
        {0x08, std::nullopt}, {0x40, std::nullopt}, {0xC1, std::nullopt}};
    for (const auto& [flags, value] : attributes)
        EXPECT_EQ(openAttributeValue(flags), value) << int(flags);

    EXPECT_EQ(decodeSeemText(Bytes{0x41, 0x42, 0x00, 0xFF, 0x43}), "ABC");
    EXPECT_EQ(decodeSeemText(Bytes{}), "");
    const std::pair<Bytes, std::string> imeis[] = {
        {{0x08, 0x3A, 0x21, 0x43, 0x65, 0x87, 0x09, 0x21, 0x43}, "31234567890123"},
        // A first byte of 7 takes the nibble rule only with exactly 9 bytes.
        {{0x07, 0x3A, 0x21, 0x43, 0x65, 0x87, 0x09, 0x21, 0x43}, "31234567890123"},
        {{0x07, 0x3A, 0x21, 0x43, 0x65, 0x87, 0x09, 0x21}, "073A214365870921"},
        // Otherwise every byte but 00 and FF as two hex digits.
        {{0x12, 0x00, 0xFF, 0xAB}, "12AB"},
        // A short record: the missing bytes read as zero.
        {{0x08, 0x3A, 0x21}, "31200000000000"}};
    for (const auto& [record, imei] : imeis)
        EXPECT_EQ(decodeIMEI(record), imei) << imei;
}
