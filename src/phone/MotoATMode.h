// The AT-mode component: phones attached in their default USB mode, seen
// as a modem. An item opens the modem port, sets its time-outs and writes
// AT command lines; answers are never read.
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

namespace vexlon::phone {

class TMotoATModemItem;
class TMotoATMode;

// Report of an item; ASubError marks the reports of WriteData, which are
// steps inside SendCommand.
using TATDebugEvent = std::function<void(TMotoATModemItem* AItem, const std::string& ADebugText,
                                         TDebugType ADebugType, bool ASubError)>;

class TMotoATModemItem {
public:
    TMotoATModemItem(IDeviceBackend& backend, const TUSBDevise& info);
    TMotoATModemItem(const TMotoATModemItem&) = delete;
    TMotoATModemItem& operator=(const TMotoATModemItem&) = delete;
    ~TMotoATModemItem();

    const TUSBDevise& ModemInfo() const { return modemInfo_; }
    const TATDebugEvent& OnDebugEvent() const { return onDebugEvent_; }
    void SetOnDebugEvent(TATDebugEvent handler) { onDebugEvent_ = std::move(handler); }

    // The read and write time-out constant last confirmed on the port (ms).
    uint32_t TimeOut() const { return timeOut_; }
    void SetTimeOut(uint32_t value);

    // True while the port is open and its state reads a baud rate above 0;
    // a port that fails the test is closed (with its report).
    bool IsOpen();
    bool OpenPhone();
    bool ClosePhone();
    // Returns the number of bytes written (0 on failure).
    std::size_t WriteData(std::span<const uint8_t> Buffer);
    // Writes the text followed by CR LF in one write.
    bool SendCommand(const std::string& Command);
    // 0: "AT+Mode=8", 1: "AT+Mode=22", 2: "AT+Mode=24"; any other value
    // sends and reports nothing.
    void SwitchMode(int Mode);
    void DoDebug(const std::string& Text, TDebugType DebugType, bool SubError = false);

    // The command line a mode value sends; nullopt for an unknown value.
    static std::optional<std::string> SwitchModeCommand(int Mode);

private:
    IDeviceBackend& backend_;
    std::unique_ptr<IATPort> port_;
    uint32_t timeOut_ = 0;
    TUSBDevise modemInfo_;
    TATDebugEvent onDebugEvent_;
};

using TMotoATModemList = TModemList<TMotoATModemItem>;

class TMotoATMode : public TPortvelMode<TMotoATMode, TMotoATModemItem, TATDebugEvent> {
public:
    static constexpr const char* kDescriptionFilter = "Motorola USB Modem";

    explicit TMotoATMode(IDeviceBackend& backend);
    ~TMotoATMode() override;
};

} // namespace vexlon::phone
