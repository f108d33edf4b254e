// The P2K-mode component: phones whose P2K command interface is present,
// the command/answer exchange with one of them, and the phone services
// built on it (restart, SEEM records, phone file system, whole-file
// transfers).
#pragma once

#include "phone/DeviceAccess.h"
#include "phone/PhoneTypes.h"
#include "phone/USBCtrls.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vexlon::phone {

class TMotoP2KModemItem;
class TMotoP2KMode;

// Report of an item: the item, the text, its kind, and whether it is a
// step inside a larger operation (never for P2K items).
using TP2KDebugEvent = std::function<void(TMotoP2KModemItem* AItem, const std::string& ADebugText,
                                          TDebugType ADebugType, bool ASubError)>;

// Observer of the exchanges of an item: the whole command packet that was
// sent, and the answer bytes ExecuteCommand delivered to its caller.
enum class TP2KExchangeDirection { Sent, Delivered };
using TP2KExchangeEvent = std::function<void(TMotoP2KModemItem* AItem,
                                             TP2KExchangeDirection ADirection,
                                             std::span<const uint8_t> ABytes)>;

// Progress of a whole-file transfer: (bytes done, bytes total); false asks
// the transfer to stop.
using TProgressCallback = std::function<bool(int32_t done, int32_t total)>;

class TMotoP2KModemItem {
public:
    TMotoP2KModemItem(IDeviceBackend& backend, const TUSBDevise& info);
    TMotoP2KModemItem(const TMotoP2KModemItem&) = delete;
    TMotoP2KModemItem& operator=(const TMotoP2KModemItem&) = delete;
    ~TMotoP2KModemItem();

    const TUSBDevise& ModemInfo() const { return modemInfo_; }
    const TP2KDebugEvent& OnDebugEvent() const { return onDebugEvent_; }
    void SetOnDebugEvent(TP2KDebugEvent handler) { onDebugEvent_ = std::move(handler); }
    const TP2KExchangeEvent& OnExchangeEvent() const { return onExchangeEvent_; }
    void SetOnExchangeEvent(TP2KExchangeEvent handler) { onExchangeEvent_ = std::move(handler); }

    // Number of commands run so far; its low 16 bits were the sequence
    // number of the last one.
    uint32_t CommandCounter() const { return commandCounter_; }

    // ---- transport ----
    bool IsOpen() const { return device_ != nullptr; }
    bool OpenPhone();
    bool ClosePhone();
    // One command/answer exchange. Answer is the caller's answer area; at
    // most Answer.size() bytes are written into it. AnswerLength receives
    // the length the phone declared (which may exceed what was written).
    // False when the command could not be sent, no answer was announced in
    // time, or the answer could not be fetched; AnswerLength and Answer
    // are then unchanged. An answer that cannot be this command's is
    // refused the same way, with an error report saying why: a status or
    // answer block cut short, or an answer carrying another sequence
    // number or command code (an earlier answer delivered late or twice).
    bool ExecuteCommand(uint16_t Command, std::span<const uint8_t> Data, std::span<uint8_t> Answer,
                        uint16_t& AnswerLength);
    void DoDebug(const std::string& Text, TDebugType DebugType, bool SubError = false);

    // ---- services ----
    bool RestartPhone();
    // Buffer receives the record data (at most Buffer.size() bytes);
    // OutLength the length of the record data the phone declared.
    bool ReadSeemPhone(uint16_t SeemNumber, uint16_t RecordNumber, uint16_t Offset,
                       uint16_t ByteCount, std::span<uint8_t> Buffer, uint16_t& OutLength);
    std::string GetPhoneModel();
    std::string GetPhoneFlexVersion();
    std::string GetPhoneIMEI();

    // Attributes: bit 7 alone (p2k::kOpenForRead) opens for reading; bits
    // 0-2 are passed on; bits 3-6 are refused.
    bool FileOpenPhone(const std::string& FileName, uint8_t Attributes);
    // Reads at most Count bytes (0 ... 4096) into Buffer (capacity
    // min(Count, Buffer.size())); returns the answer length, 0 on failure.
    int32_t FileReadPhone(std::span<uint8_t> Buffer, int32_t Count);
    // Writes the first Count bytes (0 ... 1024) of Buffer.
    bool FileWritePhone(int32_t Count, std::span<const uint8_t> Buffer);
    bool FileClosePhone();
    // Reads the whole phone file into Bytes. True only when it was read to
    // its end (an empty read in open-ended mode, Total = 0) or Total bytes
    // came; false after a refused open, a failed read, an error answer, an
    // answer larger than the chunk or a progress callback that stopped it,
    // with the bytes read so far in Bytes.
    bool FileDownloadPhone(const std::string& PhoneFileName, std::vector<uint8_t>& Bytes, int32_t ChunkSize,
                           int32_t Total, const TProgressCallback& Progress);
    // Writes Bytes as the phone file in chunks of ChunkSize (at most 1024).
    // True only when every chunk and the closing of the file were accepted;
    // after false the phone's file may hold part of Bytes.
    bool FileUploadPhone(std::span<const uint8_t> Bytes, const std::string& PhoneFileName, int32_t ChunkSize,
                         const TProgressCallback& Progress);

private:
    // Reports an announced answer that ExecuteCommand does not hand on.
    void rejectAnswer(const std::string& why);
    // A text record of a SEEM, reported with one of the two texts; empty when
    // the phone is closed or the read fails.
    std::string readSeemText(uint16_t seem, std::size_t bufferSize, const char* failed, const char* done);
    // One file read; false when it failed (length 0 is the end of the file).
    bool readChunk(std::span<uint8_t> buffer, int32_t count, int32_t& length);

    IDeviceBackend& backend_;
    std::unique_ptr<IP2KDevice> device_;
    TUSBDevise modemInfo_;
    uint32_t commandCounter_ = 0;
    // Whether this phone's answers repeat the command's sequence number and
    // code (bytes 8-11 of the answer block); unknown until the first answer.
    std::optional<bool> echoesHeader_;
    TP2KDebugEvent onDebugEvent_;
    TP2KExchangeEvent onExchangeEvent_;
};

using TMotoP2KModemList = TModemList<TMotoP2KModemItem>;

class TMotoP2KMode : public TPortvelMode<TMotoP2KMode, TMotoP2KModemItem, TP2KDebugEvent> {
public:
    static constexpr const char* kDescriptionFilter = "Test Command Interface";

    explicit TMotoP2KMode(IDeviceBackend& backend);
    ~TMotoP2KMode() override;

    // Observer of every item's exchanges (used for tracing).
    const TP2KExchangeEvent& OnExchange() const { return onExchange_; }
    void SetOnExchange(TP2KExchangeEvent handler);

protected:
    void AssignItemHandlers() override;

private:
    TP2KExchangeEvent onExchange_;
};

} // namespace vexlon::phone
