// The serial port of a phone in AT mode: the tty of its USB modem
// (/dev/ttyACMn), driven through termios.
//
// The port is opened without becoming the controlling terminal and without
// waiting for a carrier, and put into raw mode: no echo (the phone's answers
// would go straight back to it), no line editing or signals, and no output
// processing (which would turn the LF of "AT+Mode=8" CR LF into CR LF).
// Speed, character size, parity and stop bits are kept as they are. The
// settings found at opening are put back when the port closes.
//
// Time-outs. Reads use VMIN 0 and VTIME, so a read waits at most the read
// time-out (tenths of a second, rounded up, at most 25.5 s); what is read back
// is what VTIME holds. Writes are bounded by the write time-out through poll();
// a write time-out of 0 means the default bound of 5000 ms, so a write never
// waits for ever. Closing waits at most as long for queued output to leave,
// then drops what is left.
#pragma once

#include "phone/DeviceAccess.h"
#include "phone/linux/Report.h"

#include <termios.h>

#include <memory>
#include <string>

namespace vexlon::phone::lnx {

inline constexpr uint32_t kDefaultWriteBoundMs = 5000;

// VTIME for a read time-out in milliseconds: tenths of a second, rounded up,
// at most 255.
cc_t vtimeFor(uint32_t readTimeoutMs);

// Baud rate of a termios speed code; 0 for B0 (hung up), nullopt for a code
// not known here.
std::optional<uint32_t> baudOf(speed_t speed);

// The settings written at opening: raw, VMIN 0 and the given VTIME, local
// line and receiver on; speed and framing of `current` kept.
termios rawAttributes(const termios& current, cc_t vtime);

class TermiosPort final : public IATPort {
public:
    // nullptr, with a report, when the path cannot be opened or is no tty.
    static std::unique_ptr<TermiosPort> open(const std::string& path, ReportFn report);
    ~TermiosPort() override;

    std::optional<uint32_t> baudRate() override;
    std::optional<PortTimeouts> getTimeouts() override;
    bool setTimeouts(const PortTimeouts& timeouts) override;
    std::optional<std::size_t> write(std::span<const uint8_t> bytes) override;
    bool close() override;

    int fd() const { return m_fd; }

private:
    TermiosPort(int fd, const termios& original, std::string path, ReportFn report);
    void report(const std::string& text) const;
    uint32_t writeBoundMs() const;
    void drainOutput();

    int m_fd = -1;
    termios m_original{};
    std::string m_path;
    ReportFn m_report;
    uint32_t m_writeTimeoutMs = 0;
};

} // namespace vexlon::phone::lnx
