// Byte work of the P2K protocol: building the request blocks, parsing the
// status and answer blocks, and the command data and answer records of the
// phone services. Pure functions over bytes; no device is touched here.
//
// Byte order: the 8-byte USB setup block is little-endian; the P2K command
// header, the status and answer fields and all command data are big-endian.
#pragma once

#include "phone/DeviceAccess.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vexlon::phone::p2k {

// Sizes and limits of one exchange.
inline constexpr std::size_t kSetupSize = 8;
inline constexpr std::size_t kHeaderSize = 8;            // sequence, command, length, 0
inline constexpr std::size_t kPacketAreaSize = 4112;     // whole command packet
inline constexpr std::size_t kMaxCommandData = 4094;     // 4112 - 18
inline constexpr std::size_t kSendOutputSize = 5;        // output area of the send (unused)
inline constexpr std::size_t kReplyAreaSize = 4101;      // status / answer area
inline constexpr std::size_t kStatusCountOffset = 5;
inline constexpr std::size_t kStatusSizeOffset = 6;
inline constexpr std::size_t kStatusBlockSize = 8;       // bytes 0-7: count at 5, size at 6-7
inline constexpr std::size_t kAnswerSequenceOffset = 8;  // sequence number of the command answered
inline constexpr std::size_t kAnswerCommandOffset = 10;  // command code of the command answered
inline constexpr std::size_t kAnswerLengthOffset = 14;
inline constexpr std::size_t kAnswerDataOffset = 18;
inline constexpr std::size_t kMaxAnswerData = kReplyAreaSize - kAnswerDataOffset; // 4083
inline constexpr uint32_t kRequestTimeoutMs = 5000;
inline constexpr uint32_t kPollWindowMs = 2000;
inline constexpr uint16_t kInterfaceIndex = 8;

inline constexpr uint8_t kRequestTypeOut = 0x41; // vendor, interface, host to device
inline constexpr uint8_t kRequestTypeIn = 0xC1;  // vendor, interface, device to host
inline constexpr uint8_t kRequestCommand = 0x02;
inline constexpr uint8_t kRequestStatus = 0x00;
inline constexpr uint8_t kRequestFetch = 0x01;

// Command codes.
inline constexpr uint16_t kCmdSeemRead = 0x0020;
inline constexpr uint16_t kCmdRestart = 0x0022;
inline constexpr uint16_t kCmdFileSystem = 0x004A;

// File-system subcommands of kCmdFileSystem.
inline constexpr uint32_t kFsOpen = 0;
inline constexpr uint32_t kFsRead = 1;
inline constexpr uint32_t kFsWrite = 2;
inline constexpr uint32_t kFsClose = 4;

// SEEM records of the identity values.
inline constexpr uint16_t kSeemModel = 0x0117;
inline constexpr uint16_t kSeemFlex = 0x017F;
inline constexpr uint16_t kSeemIMEI = 0x0004;

// Limits of the file services.
inline constexpr std::size_t kMaxOpenNameLength = 256;
inline constexpr std::size_t kMaxTransferNameLength = 255;
inline constexpr int32_t kMaxReadCount = 4096;
inline constexpr int32_t kMaxWriteCount = 1024;

// Open attribute flags: bit 7 alone opens for reading (attribute 0xFF);
// bits 0-2 are sent as the attribute value; bits 3-6 are refused.
inline constexpr uint8_t kOpenForRead = 0x80;

// ---- setup and input blocks ---------------------------------------------

std::array<uint8_t, kSetupSize> encodeSetup(const SetupBlock& setup);
// Needs at least 8 bytes.
std::optional<SetupBlock> decodeSetup(std::span<const uint8_t> bytes);

// The input block as one byte string: setup block, then the data bytes.
std::vector<uint8_t> serialize(const InputBlock& block);
std::optional<InputBlock> parseInputBlock(std::span<const uint8_t> bytes);

// ---- requests (host side) -------------------------------------------------

// Command packet: setup (0x41, 2, 0, 8, n + 8), header (sequence, command,
// n, 0, big-endian), the n data bytes, then two zero bytes. nullopt when
// the data does not fit the packet area (more than 4094 bytes).
std::optional<InputBlock> buildCommandPacket(uint16_t sequence, uint16_t command,
                                             std::span<const uint8_t> data);
InputBlock buildStatusQuery();
// Fetch length = count * 2 + answerSize + 4, in 16-bit arithmetic.
InputBlock buildAnswerFetch(uint8_t answerCount, uint16_t answerSize);

struct StatusInfo {
    uint8_t answerCount = 0;
    uint16_t answerSize = 0;
    bool ready() const { return answerCount == 1 || answerCount == 2; }
};
// Reads byte 5 and bytes 6-7 of a status area; missing bytes read as 0.
StatusInfo parseStatusBlock(std::span<const uint8_t> area);

struct AnswerView {
    uint16_t declaredLength = 0;        // bytes 14-15
    std::span<const uint8_t> available; // bytes from 18 on, at most declaredLength
    uint16_t sequence = 0;              // bytes 8-9
    uint16_t command = 0;               // bytes 10-11
    std::size_t blockSize = 0;          // bytes the block holds
    // Bytes a whole block holds: its header and the declared data, as far
    // as the answer area reaches.
    std::size_t neededSize = 0;
    bool complete() const { return blockSize >= neededSize; }
};
// Reads the answer block; never reaches past the end of area.
AnswerView parseAnswerBlock(std::span<const uint8_t> area);

// ---- requests (phone side) ------------------------------------------------

struct CommandPacket {
    uint16_t sequence = 0;
    uint16_t command = 0;
    std::vector<uint8_t> data;
};
// Checks the setup block and the header against each other; nullopt for a
// packet that is not a well-formed command packet.
std::optional<CommandPacket> parseCommandPacket(const InputBlock& block);

// ---- service command data ---------------------------------------------------

std::vector<uint8_t> buildSeemRead(uint16_t seem, uint16_t record, uint16_t offset,
                                   uint16_t count);
// Attribute value for the open flags; nullopt when bits 3-6 are present.
std::optional<uint32_t> openAttributeValue(uint8_t flags);
std::vector<uint8_t> buildFileOpen(uint32_t attribute, std::string_view name);
std::vector<uint8_t> buildFileRead(uint32_t count);
std::vector<uint8_t> buildFileWrite(std::span<const uint8_t> bytes);
std::vector<uint8_t> buildFileClose();

// Text of a model or flex record: every byte other than 0x00 and 0xFF.
std::string decodeSeemText(std::span<const uint8_t> delivered);
// IMEI from its SEEM record (see GetPhoneIMEI). Bytes past the delivered
// ones read as 0.
std::string decodeIMEI(std::span<const uint8_t> delivered);

// ---- helpers ----------------------------------------------------------------

uint16_t readBE16(std::span<const uint8_t> bytes, std::size_t offset);
uint32_t readBE32(std::span<const uint8_t> bytes, std::size_t offset);
void appendBE16(std::vector<uint8_t>& out, uint16_t value);
void appendBE32(std::vector<uint8_t>& out, uint32_t value);
std::string toHex(std::span<const uint8_t> bytes); // lower case, no blanks

} // namespace vexlon::phone::p2k
