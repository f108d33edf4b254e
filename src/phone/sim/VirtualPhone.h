// A virtual phone: answers the P2K protocol as a phone does (command
// packets in, answers announced through the status block and fetched by the
// answer fetch), keeps its file system in an IPhoneStorage, and switches
// from AT mode to P2K mode when its modem port receives "AT+Mode=8" CR LF.
// The bus it is plugged into (listing, events, device objects, time) is the
// backend's (VirtualBackend.h).
//
// Phone file system: the phone file "/a/iTAP_User_Dictionary" is the
// storage's "a/iTAP_User_Dictionary". Names with "." or ".." components, or
// not starting with "/", are refused.
//
// SEEM records. Built in:
//   0x0117/1 model  "MOTORAZR V3" followed by zero bytes (34 bytes)
//   0x017F/1 flex   "R374_G_0E.30.49R" followed by 0xFF bytes (64 bytes)
//   0x0004/1 IMEI   IMEI 350000123456788 in its 9-byte record
//                   (08, then digit nibbles; the phone shows 14 digits)
// Overridden by the storage's files under ".phone/" (read on every SEEM read):
//   model, flex      text; first line becomes the record text
//   imei             text; 15 digits (14 digits get a 0 appended)
//   seem/SSSS_RRRR.bin  raw record data for SEEM SSSS record RRRR
//                    (lower-case hex), any SEEM, taking precedence
// See README.md beside this file.
#pragma once

#include "phone/DeviceAccess.h"
#include "phone/P2KBlocks.h"
#include "phone/sim/PhoneStorage.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vexlon::phone::sim {

enum class PhoneMode { Detached, AT, P2K };

// Ways a phone can be told to misbehave.
enum class FaultKind {
    NeverAnnounce,   // status queries never show the answer
    AnnounceCount,   // status byte 5 shows `count` answers (0, 2, 3, ...)
    DeclareLength,   // the answer declares `declaredLength` bytes and carries
                     // as many filler bytes (0xEE) as fit the output area
    FailSend,        // the request fails (the command is not received)
    FailStatus,
    FailFetch,
    TimeOutSend,     // the request runs into its time-out (the command is
                     // still received)
    TimeOutStatus,
    TimeOutFetch,
    DropAtSend,      // the phone leaves the bus as the command arrives
    DropAtStatus,    // ... after taking the command, before announcing
    DropAtFetch,     // ... before its answer is fetched
    ErrorStatus,     // the command is received but not carried out; the
                     // answer is one error status byte (a full memory, a
                     // path that cannot be written)
    CorruptAnswer,   // the answer keeps its length, but its data byte at
                     // `offset` (the last one when beyond) is inverted
    WrongSequence,   // the answer carries the sequence number + 1
    WrongCommand,    // the answer carries the command code + 1
    StaleAnswer,     // the command is carried out, but the fetch delivers
                     // the answer of the exchange before
    RepeatAnswer,    // the answer is delivered, and again in place of the
                     // next command's answer
    ShortStatus,     // the status query delivers `bytes` bytes (default 6:
                     // the count, but not the answer size)
    ShortFetch,      // the answer fetch delivers `bytes` bytes (default: all
                     // but the last)
    CorruptStore,    // a file write is acknowledged, but the stored bytes
                     // differ: byte `offset` of the chunk inverted, and
                     // `dropTail` bytes at its end not stored. Unaimed, it
                     // aims at file writes only.
    ATReply,         // the modem answers the switch line "AT+Mode=8" with
                     // `reply`, then switches as `atSwitch` says. Counted
                     // (after, repeat) in switch lines; never P2K commands.
};

// What a phone does after answering the switch line.
enum class ATSwitch {
    Now,   // leaves the modem list and arrives in P2K mode
    Late,  // stays a modem until the next write on its line (or completeSwitch())
    Never, // stays a modem
};

struct Fault {
    FaultKind kind = FaultKind::NeverAnnounce;
    // Which commands: those with this command code (and, for the file
    // system command, this subcommand); all when unset.
    std::optional<uint16_t> command;
    std::optional<uint32_t> subcommand;
    int skip = 0;   // matching commands that pass untouched first
    int times = 1;  // matching commands affected after that; -1: all
    uint8_t count = 0;           // AnnounceCount
    uint16_t declaredLength = 0; // DeclareLength
    std::size_t offset = 0;      // CorruptAnswer, CorruptStore
    std::size_t dropTail = 0;    // CorruptStore
    std::optional<std::size_t> bytes; // ShortStatus, ShortFetch
    std::string reply = "OK";    // ATReply
    ATSwitch atSwitch = ATSwitch::Never; // ATReply

    Fault() = default;
    explicit Fault(FaultKind faultKind) : kind(faultKind) {}
    Fault& forCommand(uint16_t code, std::optional<uint32_t> sub = std::nullopt)
    {
        command = code;
        subcommand = sub;
        return *this;
    }
    Fault& after(int matching)
    {
        skip = matching;
        return *this;
    }
    Fault& repeat(int matching)
    {
        times = matching;
        return *this;
    }
    Fault& announcing(uint8_t answers)
    {
        count = answers;
        return *this;
    }
    Fault& declaring(uint16_t length)
    {
        declaredLength = length;
        return *this;
    }
    Fault& altering(std::size_t byteOffset)
    {
        offset = byteOffset;
        return *this;
    }
    Fault& droppingTail(std::size_t tail)
    {
        dropTail = tail;
        return *this;
    }
    Fault& delivering(std::size_t byteCount)
    {
        bytes = byteCount;
        return *this;
    }
    Fault& replying(std::string text, ATSwitch then = ATSwitch::Never)
    {
        reply = std::move(text);
        atSwitch = then;
        return *this;
    }
};

// The name of a fault kind as the faults file spells it ("ErrorStatus").
const char* faultKindName(FaultKind kind);
// The kind of a name, in any letter case.
std::optional<FaultKind> faultKindNamed(std::string_view name);

// The faults of a ".phone/faults" file (see README.md): one fault a line,
// its kind's name and parameters such as "command=004A sub=write after=2".
// A line that cannot be read is not armed; problems[] says why, one text
// per line ("line 3: ...").
struct FaultFile {
    std::vector<Fault> faults;
    std::vector<std::string> problems;
};
FaultFile parseFaultFile(std::string_view text);

// How the AT-mode modem port misbehaves.
struct ATPortBehaviour {
    bool failOpen = false;
    bool failState = false;       // the port state cannot be read
    bool failSetTimeouts = false;
    bool failGetTimeouts = false;
    bool failWrite = false;
    uint32_t timeoutRounding = 0; // > 0: applied time-outs round down to a multiple
};

// What a phone sees of the bus it is plugged into.
class PhoneBus {
public:
    virtual ~PhoneBus() = default;
    // Lets virtual time pass (a request that runs into its time-out).
    virtual void advanceClock(uint32_t ms) = 0;
    virtual void log(const std::string& line) = 0;
    // The phone arrived or left as a device of the P2K interface class
    // (p2kInterface) or as a modem.
    virtual void announce(bool p2kInterface, DeviceChange change) = 0;
};

class VirtualPhone {
public:
    VirtualPhone(PhoneBus& bus, int id, std::shared_ptr<IPhoneStorage> storage);
    VirtualPhone(const VirtualPhone&) = delete;
    VirtualPhone& operator=(const VirtualPhone&) = delete;
    ~VirtualPhone();

    int id() const { return id_; }
    IPhoneStorage& storage() { return *storage_; }
    PhoneMode mode() const { return mode_; }
    // Identity and path of the current appearance. Each attachment (plug
    // in, mode switch, restart) gives new ones, as the bus does.
    uint32_t devInst() const;
    std::string devicePath() const;

    void plugIn(PhoneMode mode);
    void unplug();

    void injectFault(const Fault& fault);
    void clearFaults();
    // The phone's free storage for files written over the file system: a
    // write past it stores what fits and answers an error status. Unset:
    // no limit.
    void setStorageLimit(std::optional<std::size_t> bytes) { storageLimit_ = bytes; }
    ATPortBehaviour& atPort() { return atBehaviour_; }

    // Every well-formed command packet received, in order.
    const std::vector<p2k::CommandPacket>& commands() const { return commands_; }
    // Every write on the modem port, in order.
    const std::vector<std::vector<uint8_t>>& atWrites() const { return atWrites_; }
    const PortTimeouts& portTimeouts() const { return timeouts_; }
    int restarts() const { return restarts_; }
    bool hasOpenFile() const { return file_.has_value(); }
    int malformedRequests() const { return malformed_; }

    // What the phone sends back on its modem line: for each line written
    // to it, CR LF, the reply, CR LF ("OK" unless an ATReply fault says
    // otherwise; "ERROR" for a line that is no AT command). A backend that
    // stands in for a tty hands these bytes to the reader and takes them.
    const std::vector<uint8_t>& modemOutput() const { return modemOutput_; }
    std::vector<uint8_t> takeModemOutput();
    // True while the phone has answered a switch line but has not switched
    // yet (ATSwitch::Late); completeSwitch() makes it switch now.
    bool switchPending() const { return switchPending_; }
    bool completeSwitch();

    // ---- used by the backend's device objects ----
    bool attachedAs(PhoneMode mode, uint32_t generation) const;
    uint32_t generation() const { return generation_; }
    RequestResult handleSend(const InputBlock& input, std::size_t capacity, uint32_t timeoutMs);
    RequestResult handleStatus(const InputBlock& input, std::size_t capacity, uint32_t timeoutMs);
    RequestResult handleFetch(const InputBlock& input, std::size_t capacity, uint32_t timeoutMs);
    std::optional<std::size_t> handleATWrite(std::span<const uint8_t> bytes);
    std::optional<PortTimeouts> portGetTimeouts() const;
    bool portSetTimeouts(const PortTimeouts& timeouts);

private:
    // The file the file system command has open: read at once when opened
    // for reading, written through to the storage when opened for writing.
    struct OpenFile {
        std::string name;
        bool writable = false;
        std::vector<uint8_t> content; // what is left to read
        std::size_t at = 0;           // read position, or bytes written
    };
    struct Answer {
        uint16_t sequence = 0;
        uint16_t command = 0;
        std::vector<uint8_t> data;
    };

    void attach(PhoneMode mode);
    void detach();
    std::optional<Fault> takeFault(const p2k::CommandPacket& packet);
    std::optional<Fault> takeATFault();
    std::optional<Fault> takeMatching(const std::function<bool(const Fault&)>& matches);
    std::vector<uint8_t> runCommand(const p2k::CommandPacket& packet, const std::optional<Fault>& fault);
    std::vector<uint8_t> runSeemRead(std::span<const uint8_t> data);
    std::vector<uint8_t> runFileSystem(std::span<const uint8_t> data, const std::optional<Fault>& fault);
    void answerModemLine(const std::string& line);
    void switchToP2K();
    std::optional<std::vector<uint8_t>> seemRecord(uint16_t seem, uint16_t record) const;
    void log(const std::string& line) const;

    PhoneBus& bus_;
    int id_;
    std::shared_ptr<IPhoneStorage> storage_;
    PhoneMode mode_ = PhoneMode::Detached;
    uint32_t generation_ = 0;

    std::vector<Fault> faults_;
    std::optional<Fault> current_; // fault of the exchange in progress
    std::deque<Answer> answers_;
    std::optional<Answer> lastFetched_; // for StaleAnswer
    std::optional<Answer> repeatNext_;  // for RepeatAnswer
    bool restartAfterFetch_ = false;
    std::optional<OpenFile> file_;
    std::optional<std::size_t> storageLimit_;

    std::vector<p2k::CommandPacket> commands_;
    std::vector<std::vector<uint8_t>> atWrites_;
    std::string atLine_;
    std::vector<uint8_t> modemOutput_;
    bool switchPending_ = false;
    PortTimeouts timeouts_;
    ATPortBehaviour atBehaviour_;
    int restarts_ = 0;
    int malformed_ = 0;
};

} // namespace vexlon::phone::sim
