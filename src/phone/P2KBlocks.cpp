#include "phone/P2KBlocks.h"

#include <algorithm>

namespace vexlon::phone::p2k {

namespace {

uint8_t byteAt(std::span<const uint8_t> bytes, std::size_t offset)
{
    return offset < bytes.size() ? bytes[offset] : 0;
}

uint8_t lo(uint16_t value) { return static_cast<uint8_t>(value & 0xFF); }
uint8_t hi(uint16_t value) { return static_cast<uint8_t>(value >> 8); }

uint16_t leAt(std::span<const uint8_t> bytes, std::size_t offset)
{
    return static_cast<uint16_t>(byteAt(bytes, offset) | (byteAt(bytes, offset + 1) << 8));
}

} // namespace

uint16_t readBE16(std::span<const uint8_t> bytes, std::size_t offset)
{
    return static_cast<uint16_t>((byteAt(bytes, offset) << 8) | byteAt(bytes, offset + 1));
}

uint32_t readBE32(std::span<const uint8_t> bytes, std::size_t offset)
{
    return (uint32_t{readBE16(bytes, offset)} << 16) | readBE16(bytes, offset + 2);
}

void appendBE16(std::vector<uint8_t>& out, uint16_t value)
{
    out.push_back(hi(value));
    out.push_back(lo(value));
}

void appendBE32(std::vector<uint8_t>& out, uint32_t value)
{
    appendBE16(out, static_cast<uint16_t>(value >> 16));
    appendBE16(out, static_cast<uint16_t>(value & 0xFFFF));
}

std::string toHex(std::span<const uint8_t> bytes)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (uint8_t b : bytes) {
        text.push_back(digits[b >> 4]);
        text.push_back(digits[b & 0x0F]);
    }
    return text;
}

std::array<uint8_t, kSetupSize> encodeSetup(const SetupBlock& setup)
{
    return {setup.requestType, setup.request, lo(setup.value),  hi(setup.value),
            lo(setup.index),   hi(setup.index), lo(setup.length), hi(setup.length)};
}

std::optional<SetupBlock> decodeSetup(std::span<const uint8_t> bytes)
{
    if (bytes.size() < kSetupSize)
        return std::nullopt;
    SetupBlock setup;
    setup.requestType = bytes[0];
    setup.request = bytes[1];
    setup.value = leAt(bytes, 2);
    setup.index = leAt(bytes, 4);
    setup.length = leAt(bytes, 6);
    return setup;
}

std::vector<uint8_t> serialize(const InputBlock& block)
{
    const auto setup = encodeSetup(block.setup);
    std::vector<uint8_t> bytes(kSetupSize + block.data.size());
    std::copy(setup.begin(), setup.end(), bytes.begin());
    std::copy(block.data.begin(), block.data.end(), bytes.begin() + kSetupSize);
    return bytes;
}

std::optional<InputBlock> parseInputBlock(std::span<const uint8_t> bytes)
{
    const auto setup = decodeSetup(bytes);
    if (!setup)
        return std::nullopt;
    return InputBlock{*setup, std::vector<uint8_t>(bytes.begin() + kSetupSize, bytes.end())};
}

std::optional<InputBlock> buildCommandPacket(uint16_t sequence, uint16_t command,
                                             std::span<const uint8_t> data)
{
    if (data.size() > kMaxCommandData)
        return std::nullopt;
    const auto length = static_cast<uint16_t>(data.size());
    InputBlock block;
    block.setup = {kRequestTypeOut, kRequestCommand, 0, kInterfaceIndex,
                   static_cast<uint16_t>(length + kHeaderSize)};
    block.data.reserve(kHeaderSize + data.size() + 2);
    appendBE16(block.data, sequence);
    appendBE16(block.data, command);
    appendBE16(block.data, length);
    appendBE16(block.data, 0);
    block.data.insert(block.data.end(), data.begin(), data.end());
    block.data.push_back(0);
    block.data.push_back(0);
    return block;
}

InputBlock buildStatusQuery()
{
    return {{kRequestTypeIn, kRequestStatus, 0, kInterfaceIndex, 8}, {0}};
}

InputBlock buildAnswerFetch(uint8_t answerCount, uint16_t answerSize)
{
    const auto length = static_cast<uint16_t>(answerCount * 2 + answerSize + 4);
    return {{kRequestTypeIn, kRequestFetch, answerCount, kInterfaceIndex, length}, {0}};
}

StatusInfo parseStatusBlock(std::span<const uint8_t> area)
{
    return {byteAt(area, kStatusCountOffset), readBE16(area, kStatusSizeOffset)};
}

AnswerView parseAnswerBlock(std::span<const uint8_t> area)
{
    AnswerView view;
    view.declaredLength = readBE16(area, kAnswerLengthOffset);
    view.sequence = readBE16(area, kAnswerSequenceOffset);
    view.command = readBE16(area, kAnswerCommandOffset);
    view.blockSize = area.size();
    view.neededSize = std::min(kAnswerDataOffset + view.declaredLength, kReplyAreaSize);
    if (area.size() > kAnswerDataOffset) {
        const std::size_t available =
            std::min<std::size_t>(view.declaredLength, area.size() - kAnswerDataOffset);
        view.available = area.subspan(kAnswerDataOffset, available);
    }
    return view;
}

std::optional<CommandPacket> parseCommandPacket(const InputBlock& block)
{
    const SetupBlock& s = block.setup;
    if (s.requestType != kRequestTypeOut || s.request != kRequestCommand || s.value != 0
        || s.index != kInterfaceIndex)
        return std::nullopt;
    if (block.data.size() < kHeaderSize)
        return std::nullopt;
    const std::span<const uint8_t> bytes(block.data);
    CommandPacket packet;
    packet.sequence = readBE16(bytes, 0);
    packet.command = readBE16(bytes, 2);
    const uint16_t length = readBE16(bytes, 4);
    if (readBE16(bytes, 6) != 0)
        return std::nullopt;
    if (s.length != static_cast<uint16_t>(length + kHeaderSize))
        return std::nullopt;
    // The data stage is followed by two zero bytes.
    if (block.data.size() != kHeaderSize + std::size_t{length} + 2)
        return std::nullopt;
    packet.data.assign(block.data.begin() + kHeaderSize,
                       block.data.begin() + static_cast<std::ptrdiff_t>(kHeaderSize + length));
    return packet;
}

std::vector<uint8_t> buildSeemRead(uint16_t seem, uint16_t record, uint16_t offset,
                                   uint16_t count)
{
    std::vector<uint8_t> data;
    appendBE16(data, seem);
    appendBE16(data, record);
    appendBE16(data, offset);
    appendBE16(data, count);
    return data;
}

std::optional<uint32_t> openAttributeValue(uint8_t flags)
{
    if (flags == kOpenForRead)
        return 0xFFu;
    if (flags & 0x78)
        return std::nullopt;
    return flags & 0x07u;
}

std::vector<uint8_t> buildFileOpen(uint32_t attribute, std::string_view name)
{
    std::vector<uint8_t> data;
    appendBE32(data, kFsOpen);
    appendBE32(data, attribute);
    data.insert(data.end(), name.begin(), name.end());
    return data;
}

std::vector<uint8_t> buildFileRead(uint32_t count)
{
    std::vector<uint8_t> data;
    appendBE32(data, kFsRead);
    appendBE32(data, count);
    return data;
}

std::vector<uint8_t> buildFileWrite(std::span<const uint8_t> bytes)
{
    std::vector<uint8_t> data;
    appendBE32(data, kFsWrite);
    appendBE32(data, static_cast<uint32_t>(bytes.size()));
    data.insert(data.end(), bytes.begin(), bytes.end());
    return data;
}

std::vector<uint8_t> buildFileClose()
{
    std::vector<uint8_t> data;
    appendBE32(data, kFsClose);
    return data;
}

std::string decodeSeemText(std::span<const uint8_t> delivered)
{
    std::string text;
    for (uint8_t b : delivered) {
        if (b != 0x00 && b != 0xFF)
            text.push_back(static_cast<char>(b));
    }
    return text;
}

std::string decodeIMEI(std::span<const uint8_t> delivered)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    auto appendByte = [&text](uint8_t b) {
        text.push_back(digits[b >> 4]);
        text.push_back(digits[b & 0x0F]);
    };
    const uint8_t first = byteAt(delivered, 0);
    if (first == 8 || (first == 7 && delivered.size() == 9)) {
        for (std::size_t i = 1; i <= 7; ++i) {
            const auto b = static_cast<uint8_t>((byteAt(delivered, i) & 0xF0)
                                                | (byteAt(delivered, i + 1) & 0x0F));
            appendByte(b);
        }
    } else {
        for (uint8_t b : delivered) {
            if (b != 0x00 && b != 0xFF)
                appendByte(b);
        }
    }
    return text;
}

} // namespace vexlon::phone::p2k
