// Phone services of a P2K item, built on ExecuteCommand.
#include "phone/MotoP2KMode.h"
#include "phone/P2KBlocks.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <limits>
#include <vector>

namespace vexlon::phone {

namespace {

constexpr std::size_t kSeemAnswerSize = 256;
constexpr std::size_t kModelBufferSize = 35;
constexpr std::size_t kFlexBufferSize = 96;
constexpr std::size_t kIMEIBufferSize = 255;
constexpr uint16_t kIMEIByteCount = 9;

int32_t clampToInt32(int64_t value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                     std::numeric_limits<int32_t>::max()));
}

// Runs the host's progress callback; an exception inside it is discarded
// and counts as "go on".
bool reportProgress(const TProgressCallback& progress, int64_t done, int64_t total)
{
    if (!progress)
        return true;
    try {
        return progress(clampToInt32(done), clampToInt32(total));
    } catch (...) {
        return true;
    }
}

} // namespace

bool TMotoP2KModemItem::RestartPhone()
{
    if (!IsOpen())
        return false;
    std::array<uint8_t, 1> answer{};
    uint16_t length = 0;
    if (!ExecuteCommand(p2k::kCmdRestart, {}, answer, length)) {
        DoDebug("Restart Phone Failed", dtError);
        return false;
    }
    DoDebug("Restart Phone", dtInformation);
    return true;
}

bool TMotoP2KModemItem::ReadSeemPhone(uint16_t SeemNumber, uint16_t RecordNumber, uint16_t Offset,
                                      uint16_t ByteCount, std::span<uint8_t> Buffer,
                                      uint16_t& OutLength)
{
    if (!IsOpen())
        return false;
    const auto data = p2k::buildSeemRead(SeemNumber, RecordNumber, Offset, ByteCount);
    std::array<uint8_t, kSeemAnswerSize> answer{};
    uint16_t length = 0;
    if (!ExecuteCommand(p2k::kCmdSeemRead, data, answer, length)) {
        DoDebug("Read Seem Phone Failed - Error Read Command", dtError);
        return false;
    }
    if (answer[0] != 0 || length == 0 || length > kSeemAnswerSize) {
        DoDebug("Read Seem Phone Failed - Error Read Command: no seem or access denided", dtError);
        return false;
    }
    OutLength = static_cast<uint16_t>(length - 1);
    const std::size_t copied = std::min<std::size_t>(OutLength, Buffer.size());
    std::copy_n(answer.begin() + 1, copied, Buffer.begin());
    DoDebug("Read Seem Phone", dtInformation);
    return true;
}

bool TMotoP2KModemItem::readSeemText(uint16_t seem, std::size_t bufferSize, std::string& text)
{
    std::vector<uint8_t> buffer(bufferSize, 0);
    uint16_t length = 0;
    if (!ReadSeemPhone(seem, 1, 0, 0, buffer, length))
        return false;
    // Only the bytes that reached the buffer are looked at.
    const std::size_t delivered = std::min<std::size_t>(length, buffer.size());
    text = p2k::decodeSeemText(std::span<const uint8_t>(buffer).first(delivered));
    return true;
}

std::string TMotoP2KModemItem::GetPhoneModel()
{
    if (!IsOpen())
        return {};
    std::string model;
    if (!readSeemText(p2k::kSeemModel, kModelBufferSize, model)) {
        DoDebug("Get Phone Model Failed - Error Read Seem Phone", dtError);
        return {};
    }
    DoDebug("GetPhone Model", dtInformation);
    return model;
}

std::string TMotoP2KModemItem::GetPhoneFlexVersion()
{
    if (!IsOpen())
        return {};
    std::string flex;
    if (!readSeemText(p2k::kSeemFlex, kFlexBufferSize, flex)) {
        DoDebug("Get Phone Flex version Failed - Error Read Seem Phone", dtError);
        return {};
    }
    DoDebug("Get Phone Flex version", dtInformation);
    return flex;
}

std::string TMotoP2KModemItem::GetPhoneIMEI()
{
    if (!IsOpen())
        return {};
    std::vector<uint8_t> buffer(kIMEIBufferSize, 0);
    uint16_t length = 0;
    if (!ReadSeemPhone(p2k::kSeemIMEI, 1, 0, kIMEIByteCount, buffer, length)) {
        DoDebug("Get Phone IMEI Failed - Error Read Seem Phone", dtError);
        return {};
    }
    const std::size_t delivered = std::min<std::size_t>(length, buffer.size());
    std::string imei = p2k::decodeIMEI(std::span<const uint8_t>(buffer).first(delivered));
    DoDebug("Get Phone IMEI", dtInformation);
    return imei;
}

bool TMotoP2KModemItem::FileOpenPhone(const std::string& FileName, uint8_t Attributes)
{
    if (FileName.size() > p2k::kMaxOpenNameLength) {
        DoDebug("File Open Phone Failed - File name isn`t normal", dtError);
        return false;
    }
    const auto attribute = p2k::openAttributeValue(Attributes);
    if (!attribute) {
        DoDebug("File Open Phone Failed - Attribute File isn`t normal", dtError);
        return false;
    }
    const auto data = p2k::buildFileOpen(*attribute, FileName);
    std::array<uint8_t, 1> answer{};
    uint16_t length = 0;
    if (!ExecuteCommand(p2k::kCmdFileSystem, data, answer, length)) {
        DoDebug("File Open Phone Failed - Error Read Command", dtError);
        return false;
    }
    DoDebug("File Open Phone", dtInformation);
    return true;
}

int32_t TMotoP2KModemItem::FileReadPhone(std::span<uint8_t> Buffer, int32_t Count)
{
    if (Count < 0 || Count > p2k::kMaxReadCount) {
        DoDebug("File Read Phone Failed - BuffSize isn`t normal (0 > Buffer Size > 4096)", dtError);
        return 0;
    }
    const auto data = p2k::buildFileRead(static_cast<uint32_t>(Count));
    // The answer area is the caller's buffer, no larger than the count asked.
    const std::size_t capacity = std::min<std::size_t>(static_cast<std::size_t>(Count), Buffer.size());
    uint16_t length = 0;
    if (!ExecuteCommand(p2k::kCmdFileSystem, data, Buffer.first(capacity), length)) {
        DoDebug("File Read Phone Failed - Error Read Command", dtError);
        return 0;
    }
    DoDebug("File Read Phone", dtInformation);
    return length;
}

bool TMotoP2KModemItem::FileWritePhone(int32_t Count, std::span<const uint8_t> Buffer)
{
    // A count beyond the caller's buffer would send bytes that are not there.
    if (Count < 0 || Count > p2k::kMaxWriteCount || static_cast<std::size_t>(Count) > Buffer.size()) {
        DoDebug("File Write Phone Failed - BuffSize isn`t normal (0 > Buffer Size > 1024)", dtError);
        return false;
    }
    const auto data = p2k::buildFileWrite(Buffer.first(static_cast<std::size_t>(Count)));
    std::array<uint8_t, 1> answer{};
    uint16_t length = 0;
    if (!ExecuteCommand(p2k::kCmdFileSystem, data, answer, length)) {
        DoDebug("File Write Phone Failed - Error Read Command", dtError);
        return false;
    }
    DoDebug("File Write Phone", dtInformation);
    return true;
}

bool TMotoP2KModemItem::FileClosePhone()
{
    const auto data = p2k::buildFileClose();
    std::array<uint8_t, 1> answer{};
    uint16_t length = 0;
    if (!ExecuteCommand(p2k::kCmdFileSystem, data, answer, length)) {
        DoDebug("File Close Phone Failed - Error Read Command", dtError);
        return false;
    }
    DoDebug("File Close Phone", dtInformation);
    return length == 0;
}

void TMotoP2KModemItem::FileDownloadPhone(const std::string& PhoneFileName,
                                          const std::string& LocalFileName, int32_t ChunkSize,
                                          int32_t Total, const TProgressCallback& Progress)
{
    if (!IsOpen()) {
        DoDebug("File Download Phone - Phone Not Open", dtError);
        return;
    }
    if (PhoneFileName.empty() || PhoneFileName.size() > p2k::kMaxTransferNameLength) {
        DoDebug("File Download Phone - FileName not normal", dtError);
        return;
    }
    if (!FileOpenPhone(PhoneFileName, p2k::kOpenForRead))
        return;

    std::ofstream local(std::filesystem::path(LocalFileName),
                        std::ios::binary | std::ios::out | std::ios::trunc);
    if (!local) {
        // Leave the phone with no file open before giving up.
        FileClosePhone();
        throw LocalFileError("Cannot create file \"" + LocalFileName + "\".");
    }

    const bool openEnded = Total == 0;
    int64_t total = Total;
    int64_t done = 0;
    // A chunk above the read limit is refused by FileReadPhone anyway, so
    // the buffer never needs to be larger than that limit.
    std::vector<uint8_t> buffer(
        static_cast<std::size_t>(std::clamp<int32_t>(ChunkSize, 0, p2k::kMaxReadCount)), 0);
    do {
        std::fill(buffer.begin(), buffer.end(), 0);
        const int32_t n = FileReadPhone(buffer, ChunkSize);
        // A one-byte answer is the phone's error reply, not file data.
        if (n <= 1 || n > ChunkSize)
            break;
        local.write(reinterpret_cast<const char*>(buffer.data()), n);
        if (!local) {
            FileClosePhone();
            throw LocalFileError("Cannot write file \"" + LocalFileName + "\".");
        }
        done += n;
        if (!reportProgress(Progress, done, total))
            break;
        if (openEnded)
            total = done + 1;
    } while (done < total);

    local.close();
    if (local.fail()) {
        FileClosePhone();
        throw LocalFileError("Cannot write file \"" + LocalFileName + "\".");
    }
    FileClosePhone();
    DoDebug("File Download Phone", dtInformation);
}

bool TMotoP2KModemItem::FileUploadPhone(const std::string& LocalFileName,
                                        const std::string& PhoneFileName, int32_t ChunkSize,
                                        const TProgressCallback& Progress)
{
    if (!IsOpen()) {
        DoDebug("File Upload Phone - Phone Not Open", dtError);
        return false;
    }
    std::error_code ec;
    const std::filesystem::path localPath(LocalFileName);
    if (PhoneFileName.empty() || PhoneFileName.size() > p2k::kMaxTransferNameLength
        || !std::filesystem::is_regular_file(localPath, ec)) {
        DoDebug("File Upload Phone - FileName not normal", dtError);
        return false;
    }

    std::ifstream local(localPath, std::ios::binary | std::ios::in);
    const auto fileSize = std::filesystem::file_size(localPath, ec);
    if (!local || ec)
        throw LocalFileError("Cannot open file \"" + LocalFileName + "\".");
    const auto size = static_cast<int64_t>(fileSize);
    int64_t chunk = ChunkSize;
    if (chunk > size)
        chunk = size;

    if (!FileOpenPhone(PhoneFileName, 0))
        return false;

    // One byte more than a write may carry is enough to see that a chunk is
    // too large; the buffer never grows with the file.
    std::vector<uint8_t> buffer(static_cast<std::size_t>(p2k::kMaxWriteCount) + 1, 0);
    int64_t sent = 0;
    while (sent < size) {
        if (size - sent < chunk)
            chunk = size - sent;
        std::streamsize count = 0;
        if (chunk > 0) {
            const auto want = static_cast<std::streamsize>(
                std::min<int64_t>(chunk, static_cast<int64_t>(buffer.size())));
            local.read(reinterpret_cast<char*>(buffer.data()), want);
            count = local.gcount();
        }
        chunk = count;
        if (count <= 0 || count > p2k::kMaxWriteCount)
            break;
        if (!FileWritePhone(static_cast<int32_t>(count), buffer))
            break;
        sent += count;
        if (!reportProgress(Progress, sent, size))
            break;
    }

    FileClosePhone();
    local.close();
    DoDebug("File Upload Phone", dtInformation);
    return sent == size;
}

} // namespace vexlon::phone
