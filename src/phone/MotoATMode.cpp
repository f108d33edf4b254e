#include "phone/MotoATMode.h"

#include <vector>

namespace vexlon::phone {

namespace {

PortTimeouts timeoutsFor(uint32_t value)
{
    PortTimeouts t;
    t.readInterval = 0;
    t.readTotalMultiplier = 0;
    t.readTotalConstant = value;
    t.writeTotalMultiplier = 0;
    t.writeTotalConstant = value;
    return t;
}

} // namespace

TMotoATModemItem::TMotoATModemItem(IDeviceBackend& backend, const TUSBDevise& info)
    : backend_(backend), modemInfo_(info)
{
}

TMotoATModemItem::~TMotoATModemItem()
{
    try {
        if (IsOpen())
            ClosePhone();
    } catch (...) {
    }
}

void TMotoATModemItem::DoDebug(const std::string& Text, TDebugType DebugType, bool SubError)
{
    if (onDebugEvent_)
        onDebugEvent_(this, Text, DebugType, SubError);
}

bool TMotoATModemItem::IsOpen()
{
    if (!port_)
        return false;
    const auto baud = port_->baudRate();
    if (baud && *baud > 0)
        return true;
    ClosePhone();
    return false;
}

bool TMotoATModemItem::OpenPhone()
{
    if (IsOpen())
        return true;
    std::unique_ptr<IATPort> opened;
    try {
        opened = backend_.openATPort(modemInfo_.DevicePath);
    } catch (...) {
        opened.reset();
    }
    // A stale port that could not be closed is released here.
    port_ = std::move(opened);
    if (!port_) {
        DoDebug("Open Phone Failed", dtError);
        return false;
    }
    SetTimeOut(timeOut_);
    DoDebug("Open Phone", dtInformation);
    return true;
}

bool TMotoATModemItem::ClosePhone()
{
    if (!port_ || !port_->close()) {
        DoDebug("Close Phone Failed", dtError);
        return false;
    }
    port_.reset();
    DoDebug("Phone Close", dtInformation);
    return true;
}

void TMotoATModemItem::SetTimeOut(uint32_t value)
{
    if (port_) {
        const auto current = port_->getTimeouts();
        if (current && current->readTotalConstant == value)
            return;
    }
    if (!port_ || !port_->setTimeouts(timeoutsFor(value))) {
        DoDebug("Phone Set TimeOut Failed", dtError);
        return;
    }
    const auto readBack = port_->getTimeouts();
    if (!readBack) {
        DoDebug("Phone Set TimeOut Failed - Error Get TimeOut", dtError);
        return;
    }
    if (readBack->readTotalConstant == value)
        DoDebug("Phone Set TimeOut", dtInformation);
    else
        DoDebug("Phone Set TimeOut Failed", dtError);
    timeOut_ = readBack->readTotalConstant;
}

std::size_t TMotoATModemItem::WriteData(std::span<const uint8_t> Buffer)
{
    std::optional<std::size_t> written;
    if (port_)
        written = port_->write(Buffer);
    if (!written) {
        DoDebug("Phone Write Data Failed", dtError, true);
        return 0;
    }
    DoDebug("Phone Write Data", dtInformation, true);
    return *written;
}

bool TMotoATModemItem::SendCommand(const std::string& Command)
{
    std::vector<uint8_t> line(Command.begin(), Command.end());
    line.push_back(0x0D);
    line.push_back(0x0A);
    if (WriteData(line) == 0) {
        DoDebug("Phone Send Command Failed", dtError);
        return false;
    }
    DoDebug("Phone Send Command", dtInformation);
    return true;
}

std::optional<std::string> TMotoATModemItem::SwitchModeCommand(int Mode)
{
    switch (Mode) {
    case 0:
        return "AT+Mode=8";
    case 1:
        return "AT+Mode=22";
    case 2:
        return "AT+Mode=24";
    default:
        return std::nullopt;
    }
}

void TMotoATModemItem::SwitchMode(int Mode)
{
    const auto command = SwitchModeCommand(Mode);
    if (!command)
        return;
    if (SendCommand(*command))
        DoDebug("Phone Switch", dtInformation);
    else
        DoDebug("Phone Switch Mode Failed - Error Send Command", dtError);
}

TMotoATMode::TMotoATMode(IDeviceBackend& backend)
    : TPortvelMode(backend, DeviceClass::ATModem, kDescriptionFilter)
{
}

TMotoATMode::~TMotoATMode() = default;

} // namespace vexlon::phone
