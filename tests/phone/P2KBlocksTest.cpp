// The request blocks and answer records, byte for byte against blocks
// written out by hand from the protocol's layout.
#include "phone/P2KBlocks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vexlon::phone;
using namespace vexlon::phone::p2k;
using Bytes = std::vector<uint8_t>;

namespace {

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes concat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TEST(phoneBlocks, CommandPacketsAreLaidOutByteForByte)
{
    // A command without data: 18 bytes, setup length 8, header length 0.
    const auto restart = buildCommandPacket(1, kCmdRestart, {});
    ASSERT_TRUE(restart);
    EXPECT_EQ(serialize(*restart), (Bytes{0x41, 0x02, 0x00, 0x00, 0x08, 0x00, 0x08, 0x00,  //
                                          0x00, 0x01, 0x00, 0x22, 0x00, 0x00, 0x00, 0x00,  //
                                          0x00, 0x00}));

    // A file read of 4000 bytes as command 0x0102: setup length 16 (LE),
    // header big-endian, two zero bytes after the data.
    const Bytes readData{0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x0F, 0xA0};
    const auto read = buildCommandPacket(0x0102, kCmdFileSystem, readData);
    ASSERT_TRUE(read);
    EXPECT_EQ(serialize(*read), (Bytes{0x41, 0x02, 0x00, 0x00, 0x08, 0x00, 0x10, 0x00,  //
                                       0x01, 0x02, 0x00, 0x4A, 0x00, 0x08, 0x00, 0x00,  //
                                       0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x0F, 0xA0,  //
                                       0x00, 0x00}));

    // The largest data that fits the 4112-byte packet area is 4094 bytes.
    const Bytes largest(4094, 0x5A);
    const auto full = buildCommandPacket(0xFFFF, 0x0020, largest);
    ASSERT_TRUE(full);
    const Bytes wire = serialize(*full);
    EXPECT_EQ(wire.size(), 4112u);
    EXPECT_EQ((Bytes{wire[6], wire[7]}), (Bytes{0x06, 0x10})); // 4102 LE
    EXPECT_EQ((Bytes{wire[12], wire[13]}), (Bytes{0x0F, 0xFE})); // 4094 BE
    EXPECT_FALSE(buildCommandPacket(1, 0x0020, Bytes(4095, 0)));
}

TEST(phoneBlocks, StatusQueryAndAnswerFetch)
{
    EXPECT_EQ(serialize(buildStatusQuery()),
              (Bytes{0xC1, 0x00, 0x00, 0x00, 0x08, 0x00, 0x08, 0x00, 0x00}));
    // count 1, size 16: length 1*2 + 16 + 4 = 22.
    EXPECT_EQ(serialize(buildAnswerFetch(1, 16)),
              (Bytes{0xC1, 0x01, 0x01, 0x00, 0x08, 0x00, 0x16, 0x00, 0x00}));
    // count 2, size 0x0123: 4 + 0x123 + 4 = 0x012B.
    EXPECT_EQ(serialize(buildAnswerFetch(2, 0x0123)),
              (Bytes{0xC1, 0x01, 0x02, 0x00, 0x08, 0x00, 0x2B, 0x01, 0x00}));
    // The length is 16-bit arithmetic: 4 + 0xFFFE + 4 wraps to 6.
    EXPECT_EQ(buildAnswerFetch(2, 0xFFFE).setup.length, 6);
}

TEST(phoneBlocks, StatusAndAnswerBlocksAreReadAtTheirOffsets)
{
    const Bytes status{0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0x02, 0x01, 0x0C};
    EXPECT_EQ(parseStatusBlock(status).answerCount, 2);
    EXPECT_EQ(parseStatusBlock(status).answerSize, 0x010C);
    EXPECT_TRUE(parseStatusBlock(status).ready());
    for (uint8_t count : {uint8_t{0}, uint8_t{3}, uint8_t{255}}) {
        Bytes s = status;
        s[5] = count;
        EXPECT_FALSE(parseStatusBlock(s).ready()) << int(count);
    }
    // A block too short to hold the fields reads as nothing waiting.
    EXPECT_FALSE(parseStatusBlock(Bytes{0, 0, 0}).ready());

    Bytes answer(18, 0xEE);
    answer[14] = 0x00;
    answer[15] = 0x03;
    answer.insert(answer.end(), {0x10, 0x20, 0x30, 0x40});
    const AnswerView view = parseAnswerBlock(answer);
    EXPECT_EQ(view.declaredLength, 3);
    EXPECT_EQ(Bytes(view.available.begin(), view.available.end()), (Bytes{0x10, 0x20, 0x30}));

    // A declared length beyond the block never reaches past its end.
    answer[14] = 0xFF;
    answer[15] = 0xFF;
    const AnswerView oversized = parseAnswerBlock(answer);
    EXPECT_EQ(oversized.declaredLength, 0xFFFF);
    EXPECT_EQ(oversized.available.size(), 4u);
    EXPECT_TRUE(parseAnswerBlock(Bytes(10, 0xFF)).available.empty());
}

TEST(phoneBlocks, PhoneSideParsingChecksThePacket)
{
    const Bytes wire{0x41, 0x02, 0x00, 0x00, 0x08, 0x00, 0x0A, 0x00,  //
                     0x00, 0x07, 0x00, 0x20, 0x00, 0x02, 0x00, 0x00,  //
                     0xAB, 0xCD, 0x00, 0x00};
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

TEST(phoneBlocks, ServiceCommandData)
{
    EXPECT_EQ(buildSeemRead(0x0117, 1, 0, 0),
              (Bytes{0x01, 0x17, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(buildSeemRead(0x0004, 1, 0, 9),
              (Bytes{0x00, 0x04, 0x00, 0x01, 0x00, 0x00, 0x00, 0x09}));

    EXPECT_EQ(buildFileOpen(0xFF, "/a/iTAP_User_Dictionary"),
              concat(Bytes{0, 0, 0, 0, 0, 0, 0, 0xFF}, bytesOf("/a/iTAP_User_Dictionary")));
    EXPECT_EQ(buildFileRead(4000), (Bytes{0, 0, 0, 1, 0, 0, 0x0F, 0xA0}));
    EXPECT_EQ(buildFileWrite(Bytes{0x61, 0x62, 0x63}),
              (Bytes{0, 0, 0, 2, 0, 0, 0, 3, 0x61, 0x62, 0x63}));
    EXPECT_EQ(buildFileClose(), (Bytes{0, 0, 0, 4}));
}

TEST(phoneBlocks, OpenAttributes)
{
    struct Case {
        uint8_t flags;
        std::optional<uint32_t> value;
    };
    const Case cases[] = {
        {0x80, 0xFF},         // bit 7 alone: read
        {0x00, 0},            // no flags
        {0x81, 1},            // bit 7 beside others is ignored
        {0x87, 7},            //
        {0x05, 5},            //
        {0x08, std::nullopt}, // bits 3-6 are refused
        {0x40, std::nullopt}, //
        {0xC1, std::nullopt}, //
    };
    for (const auto& c : cases)
        EXPECT_EQ(openAttributeValue(c.flags), c.value) << int(c.flags);
}

TEST(phoneBlocks, IdentityRecords)
{
    EXPECT_EQ(decodeSeemText(Bytes{0x41, 0x42, 0x00, 0xFF, 0x43}), "ABC");
    EXPECT_EQ(decodeSeemText(Bytes{}), "");

    const Bytes imei{0x08, 0x3A, 0x21, 0x43, 0x65, 0x87, 0x09, 0x21, 0x43};
    EXPECT_EQ(decodeIMEI(imei), "31234567890123");
    // A first byte of 7 takes the nibble rule only with exactly 9 bytes.
    Bytes seven = imei;
    seven[0] = 0x07;
    EXPECT_EQ(decodeIMEI(seven), "31234567890123");
    seven.pop_back();
    EXPECT_EQ(decodeIMEI(seven), "073A2143658709" "21");
    // Otherwise every byte but 00 and FF as two hex digits.
    EXPECT_EQ(decodeIMEI(Bytes{0x12, 0x00, 0xFF, 0xAB}), "12AB");
    // A short record: the missing bytes read as zero.
    EXPECT_EQ(decodeIMEI(Bytes{0x08, 0x3A, 0x21}), "31200000000000");
}

TEST(phoneBlocks, TraceHexIsLowerCaseWithoutBlanks)
{
    EXPECT_EQ(toHex(Bytes{0x00, 0x4A, 0xFF, 0x10}), "004aff10");
}
