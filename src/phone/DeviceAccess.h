// Device access: the one seam between the phone component set and the
// platform (real USB on Linux, or the virtual phone).
//
// Contract
// --------
// * Plain C++20. No Qt, no libusb/libudev types cross this header.
// * A backend (IDeviceBackend) bundles everything the components need:
//   enumeration of a device class, a watcher for arrivals and removals,
//   opening a P2K command interface, opening an AT-mode modem port, and
//   a clock. The components never talk to the platform any other way.
// * Enumeration (IDeviceBackend::enumerateDevices) returns EVERY present
//   device of the class. The description filter ("Motorola USB Modem",
//   "Test Command Interface") is applied by the component code
//   (EnumerateDevices in USBCtrls.h), case-insensitively, on DeviceDesc,
//   so a backend must put there the text such a filter is meant to match.
//   Each record needs DevInst (stable identity while the device stays
//   attached; two present devices of one class never share it),
//   DevicePath (what openP2K/openATPort accept) and DeviceDesc. Every
//   other TUSBDevise field may stay empty / 0.
//     - DeviceClass::ATModem is the class of ALL USB devices (a phone in
//       AT mode shows up among them with a description containing
//       "Motorola USB Modem"); its watcher reports any USB device change.
//     - DeviceClass::P2KCommand is the class of the phones' P2K command
//       interfaces (description containing "Test Command Interface").
//   Enumeration never throws; a failure gives a shorter or empty list.
// * Watching (IDeviceWatcher): fd() is a file descriptor that becomes
//   readable whenever processPendingEvents() may have something to
//   report; the host (GUI event loop, CLI poll()) watches it and then
//   calls processPendingEvents(), which must not block and returns the
//   arrivals and removals of the class, one entry per notification, in
//   order. A watcher must never take a successful registration as proof
//   that events will come: a backend that has to poll (enumerate and
//   compare) either makes fd() readable on its own timer (timerfd) or
//   returns the period from pollIntervalMs(), and the host then calls
//   processPendingEvents() at least that often even when fd() is quiet.
//   watch() may return nullptr when no watcher can be set up; the
//   component then works without notifications (its list is filled at
//   construction).
// * P2K requests (IP2KDevice): each of the three requests takes an input
//   block (setup block + data stage bytes) and the size of the output
//   area the caller offers, waits at most timeoutMs, and returns an
//   outcome plus the output block. The output block is laid out as the
//   phone's driver delivers it to the transport:
//     status query  -> byte 5: number of answers waiting (ready: 1 or 2),
//                      bytes 6-7 (big-endian): answer size;
//     answer fetch  -> bytes 8-9 and 10-11 (big-endian): the sequence
//                      number and command code of the command answered
//                      (checked only for a phone whose first answer
//                      carries them), bytes 14-15 (big-endian): answer
//                      data length, bytes 18...: answer data.
//   All other bytes are the backend's choice. The backend never returns
//   more than outputCapacity bytes (the transport also caps it).
//   Outcome: Completed (the request finished), TimedOut (it did not finish
//   within timeoutMs; the transport counts a timed-out send as sent and a
//   timed-out status query or fetch as failed), Failed (anything else,
//   including a device that has left the bus).
// * AT ports (IATPort): a serial port opened on DevicePath. baudRate()
//   reads the port state (nullopt when it cannot be read, 0 when the line
//   is hung up); getTimeouts/setTimeouts read and write the port's
//   time-outs in milliseconds (a backend must read back exactly what it
//   accepted, or what it really applied if it had to round); write()
//   writes bytes in one call and returns the count written, nullopt on
//   failure.
// * close(): true when the device or port was closed. After a successful
//   close the object is not used again; after a failed one it is kept
//   (and close() may be retried). Destroying an object that was not
//   closed must release it silently.
// * The clock (IClock) is the only source of time and the only way to
//   wait: the poll deadline of the transport uses nowMs(), the pause
//   before an answer fetch uses sleepMs(). nowMs() is a 32-bit
//   millisecond counter that may wrap. A virtual clock lets tests run the
//   5000 ms request and 2000 ms poll deadlines without sleeping.
// * Everything runs on one thread (the thread that owns the components);
//   nothing here needs to be thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vexlon::phone {

// One enumerated device, as the host's device enumeration describes it.
// Only DevInst, DevicePath and DeviceDesc are used by this program; the
// other fields are carried for the host and may stay empty / 0.
struct TUSBDevise {
    uint32_t DevInst = 0;
    std::string DevicePath;
    uint32_t Capabilities = 0;
    std::string DeviceClass;
    std::string ClassGUID;
    std::string CompatibleIDs;
    uint32_t ConfigFlags = 0;
    std::string DeviceDesc;
    std::string Driver;
    std::string FriendlyName;
    std::string HardwareID;
    std::string LowerFilters;
    std::string Mfg;
    std::string UpperFilters;
    std::string Address;
    uint32_t BusNumber = 0;
    std::string BusTypeGUID;
    std::string Characteristics;
    std::string DevType;
    std::string EnumeratorName;
    uint32_t Exclusive = 0;
    std::string LegacyBusType;
    std::string LocationInformation;
    std::string PhysicalDeviceObjectName;
    std::string Security;
    std::string Service;
    uint32_t UINumber = 0;
    std::string UINumberDescFormat;

    bool operator==(const TUSBDevise&) const = default;
};

using TUSBDevises = std::vector<TUSBDevise>;

enum class DeviceClass {
    ATModem,    // all USB devices; AT-mode phones among them
    P2KCommand, // P2K command interfaces of phones in P2K mode
};

// What one notification says: 0 nothing, 1 arrival, 2 removal.
enum class DeviceChange : int {
    None = 0,
    Arrival = 1,
    Removal = 2,
};

class IDeviceWatcher {
public:
    virtual ~IDeviceWatcher() = default;
    // Readable when processPendingEvents() may have news; -1 when the
    // watcher has no descriptor (then pollIntervalMs() must be > 0).
    virtual int fd() const = 0;
    // > 0: the host calls processPendingEvents() at least this often,
    // whatever fd() does. -1: fd() alone is enough.
    virtual int pollIntervalMs() const { return -1; }
    // Never blocks. Drains fd() and returns the notifications of the
    // class that happened since the last call, oldest first.
    virtual std::vector<DeviceChange> processPendingEvents() = 0;
};

// USB control-transfer setup block. On the wire: bmRequestType, bRequest,
// then wValue, wIndex, wLength little-endian (8 bytes).
struct SetupBlock {
    uint8_t requestType = 0;
    uint8_t request = 0;
    uint16_t value = 0;
    uint16_t index = 0;
    uint16_t length = 0;

    bool operator==(const SetupBlock&) const = default;
};

// The input of one device request: the setup block and the bytes that
// follow it (the data stage of a command packet; for a status query or
// an answer fetch one zero byte).
struct InputBlock {
    SetupBlock setup;
    std::vector<uint8_t> data;

    bool operator==(const InputBlock&) const = default;
};

enum class RequestOutcome {
    Completed,
    TimedOut,
    Failed,
};

struct RequestResult {
    RequestOutcome outcome = RequestOutcome::Failed;
    std::vector<uint8_t> output; // at most the offered output capacity
};

// An opened P2K command interface.
class IP2KDevice {
public:
    virtual ~IP2KDevice() = default;
    // Command packet, host to device (setup.requestType 0x41, request 2).
    virtual RequestResult sendCommand(const InputBlock& input, std::size_t outputCapacity,
                                      uint32_t timeoutMs) = 0;
    // Status query, device to host (0xC1, request 0).
    virtual RequestResult statusQuery(const InputBlock& input, std::size_t outputCapacity,
                                      uint32_t timeoutMs) = 0;
    // Answer fetch, device to host (0xC1, request 1).
    virtual RequestResult answerFetch(const InputBlock& input, std::size_t outputCapacity,
                                      uint32_t timeoutMs) = 0;
    virtual bool close() = 0;
};

// Serial port time-outs, milliseconds.
struct PortTimeouts {
    uint32_t readInterval = 0;
    uint32_t readTotalMultiplier = 0;
    uint32_t readTotalConstant = 0;
    uint32_t writeTotalMultiplier = 0;
    uint32_t writeTotalConstant = 0;

    bool operator==(const PortTimeouts&) const = default;
};

// An opened AT-mode modem port.
class IATPort {
public:
    virtual ~IATPort() = default;
    virtual std::optional<uint32_t> baudRate() = 0;
    virtual std::optional<PortTimeouts> getTimeouts() = 0;
    virtual bool setTimeouts(const PortTimeouts& timeouts) = 0;
    virtual std::optional<std::size_t> write(std::span<const uint8_t> bytes) = 0;
    virtual bool close() = 0;
};

class IClock {
public:
    virtual ~IClock() = default;
    virtual uint32_t nowMs() = 0;          // wraps at 2^32
    virtual void sleepMs(uint32_t ms) = 0;
};

class IDeviceBackend {
public:
    virtual ~IDeviceBackend() = default;
    virtual TUSBDevises enumerateDevices(DeviceClass deviceClass) = 0;
    virtual std::unique_ptr<IDeviceWatcher> watch(DeviceClass deviceClass) = 0;
    // nullptr when the path cannot be opened.
    virtual std::unique_ptr<IP2KDevice> openP2K(const std::string& devicePath) = 0;
    virtual std::unique_ptr<IATPort> openATPort(const std::string& devicePath) = 0;
    virtual IClock& clock() = 0;
};

} // namespace vexlon::phone
