#include "phone/linux/LibusbPipe.h"

#include "phone/linux/UsbFacts.h"

#include <libusb.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace vexlon::phone::lnx {

namespace {

void say(const ReportFn& report, const std::string& text)
{
    if (report)
        report(text);
}

std::string usbError(int code)
{
    return libusb_error_name(code);
}

// One libusb context for the whole program, made on first use. It never
// scans the bus: devices are reached through their usbfs node only, so
// libusb needs neither udev nor a readable /dev/bus/usb to start.
std::shared_ptr<libusb_context> sharedContext(std::string& error)
{
    static std::mutex mutex;
    static std::weak_ptr<libusb_context> shared;
    std::lock_guard lock(mutex);
    if (auto context = shared.lock())
        return context;
    libusb_set_option(nullptr, LIBUSB_OPTION_NO_DEVICE_DISCOVERY);
    libusb_context* raw = nullptr;
    if (const int rc = libusb_init(&raw); rc != LIBUSB_SUCCESS) {
        error = "libusb could not start: " + usbError(rc);
        return nullptr;
    }
    std::shared_ptr<libusb_context> context(raw, [](libusb_context* c) { libusb_exit(c); });
    shared = context;
    return context;
}

class LibusbPipe final : public ControlPipe {
public:
    LibusbPipe(std::shared_ptr<libusb_context> context, int fd, libusb_device_handle* handle,
               int interfaceNumber)
        : m_context(std::move(context)), m_fd(fd), m_handle(handle), m_interface(interfaceNumber)
    {
    }

    ~LibusbPipe() override { close(); }

    PipeResult run(const ControlTransfer& transfer, std::span<uint8_t> data, uint32_t timeoutMs) override
    {
        PipeResult result;
        if (!m_handle) {
            result.error = "device closed";
            return result;
        }
        std::vector<uint8_t> outgoing;
        unsigned char* buffer = nullptr;
        if (transfer.deviceToHost) {
            if (data.size() < transfer.length) {
                result.error = "read area too small";
                return result;
            }
            buffer = data.data();
        } else {
            outgoing = transfer.outData;
            buffer = outgoing.data();
        }
        const int rc = libusb_control_transfer(m_handle, transfer.requestType, transfer.request,
                                               transfer.value, transfer.index, buffer, transfer.length,
                                               timeoutMs);
        if (rc >= 0) {
            result.status = PipeResult::Status::Done;
            result.transferred = static_cast<std::size_t>(rc);
        } else if (rc == LIBUSB_ERROR_TIMEOUT) {
            result.status = PipeResult::Status::TimedOut;
        } else {
            result.error = usbError(rc);
        }
        return result;
    }

    bool close() override
    {
        if (m_handle) {
            libusb_release_interface(m_handle, m_interface);
            libusb_close(m_handle);
            m_handle = nullptr;
        }
        if (m_fd >= 0) {
            ::close(m_fd);
            m_fd = -1;
        }
        return true;
    }

private:
    std::shared_ptr<libusb_context> m_context;
    int m_fd = -1;
    libusb_device_handle* m_handle = nullptr;
    int m_interface = -1;
};

} // namespace

std::unique_ptr<ControlPipe> openLibusbPipe(const std::string& devicePath, const ReportFn& report)
{
    const auto path = parseP2KPath(devicePath);
    if (!path) {
        say(report, "not a P2K device path: \"" + devicePath + "\"");
        return nullptr;
    }
    const int fd = ::open(path->node.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        std::string text = "cannot open " + path->node + ": " + std::strerror(error);
        if (error == EACCES || error == EPERM)
            text += " (install the udev rule for Motorola phones and plug the phone in again)";
        say(report, text);
        return nullptr;
    }
    // The node named must be a character device, and the descriptor must be
    // that very node: stat by name gives the type (umockdev, which emulates
    // device nodes for the tests, answers for names only), and fstat tells
    // that the descriptor is the same file, which also catches a node
    // replaced between the open and the check.
    struct stat named {};
    struct stat opened {};
    if (::stat(path->node.c_str(), &named) != 0 || !S_ISCHR(named.st_mode) || ::fstat(fd, &opened) != 0
        || named.st_dev != opened.st_dev || named.st_ino != opened.st_ino) {
        ::close(fd);
        say(report, path->node + " is not a device node");
        return nullptr;
    }
    std::string contextError;
    auto context = sharedContext(contextError);
    if (!context) {
        ::close(fd);
        say(report, contextError);
        return nullptr;
    }
    libusb_device_handle* handle = nullptr;
    if (const int rc = libusb_wrap_sys_device(context.get(), fd, &handle); rc != LIBUSB_SUCCESS) {
        ::close(fd);
        say(report, "libusb cannot use " + path->node + ": " + usbError(rc));
        return nullptr;
    }
    // Detach a kernel driver that holds the interface; libusb gives it back
    // on close. Where automatic detaching is not offered, do it by hand.
    if (libusb_set_auto_detach_kernel_driver(handle, 1) != LIBUSB_SUCCESS
        && libusb_kernel_driver_active(handle, path->interfaceNumber) == 1) {
        if (const int rc = libusb_detach_kernel_driver(handle, path->interfaceNumber); rc != LIBUSB_SUCCESS)
            say(report, "cannot detach the kernel driver of interface "
                            + std::to_string(path->interfaceNumber) + ": " + usbError(rc));
    }
    if (const int rc = libusb_claim_interface(handle, path->interfaceNumber); rc != LIBUSB_SUCCESS) {
        libusb_close(handle);
        ::close(fd);
        std::string text = "cannot claim interface " + std::to_string(path->interfaceNumber) + " of "
            + path->node + ": " + usbError(rc);
        if (rc == LIBUSB_ERROR_BUSY)
            text += " (another program is using the phone)";
        say(report, text);
        return nullptr;
    }
    return std::make_unique<LibusbPipe>(std::move(context), fd, handle, path->interfaceNumber);
}

} // namespace vexlon::phone::lnx
