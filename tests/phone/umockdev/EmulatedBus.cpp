#include "EmulatedBus.h"

#include <umockdev.h>

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vexlon::test {

namespace {

using phone::DeviceChange;
using phone::InputBlock;
using phone::RequestOutcome;
using phone::RequestResult;
using phone::sim::PhoneMode;

constexpr const char* kHub = "/sys/devices/pci0000:00/0000:00:14.0/usb1";
constexpr int kBus = 1;
constexpr int kCommandInterface = 8;

// Device, configuration and the two vendor-specific interface descriptors of
// a phone in P2K mode (22b8:4902); interface 8 is the command interface.
constexpr const char* kP2KDescriptors = "12010002000000" "40B822024901000102" "0001"
                                        "0902" "1B00" "020100" "8032"
                                        "090400" "0000FF000000"
                                        "090408" "0000FF000000";

std::string hex(const uint8_t* bytes, std::size_t size)
{
    std::string text;
    char pair[3];
    for (std::size_t i = 0; i < size; ++i) {
        std::snprintf(pair, sizeof pair, "%02X", bytes[i]);
        text += pair;
    }
    return text;
}

std::string three(int number)
{
    char text[8];
    std::snprintf(text, sizeof text, "%03d", number);
    return text;
}

// One device of a umockdev record: "P:" path, then the lines as given.
// `path` is the sysfs path ("/sys/devices/..."); the record names it without
// "/sys".
std::string device(const std::string& path, const std::vector<std::string>& lines)
{
    std::string text = "P: " + path.substr(4) + "\n";
    for (const auto& line : lines)
        text += line + "\n";
    return text + "\n";
}

// A sysfs attribute; its value ends with a line end, as the kernel's do.
std::string attr(const std::string& name, const std::string& value)
{
    return "A: " + name + "=" + value + "\\n";
}

// A USB device ("vvvv:pppp") on bus 1; with descriptors, its usbfs node holds
// them (libusb reads them there).
std::string usbDevice(const std::string& path, int devnum, const std::string& ids, const std::string& product,
                      int interfaces, const std::string& descriptors = {})
{
    const std::string node = "bus/usb/" + three(kBus) + "/" + three(devnum);
    const std::string vendor = ids.substr(0, 4), model = ids.substr(5, 4);
    std::vector<std::string> lines = {
        "N: " + node + (descriptors.empty() ? "" : "=" + descriptors), "E: SUBSYSTEM=usb", "E: DEVTYPE=usb_device",
        "E: DEVNAME=/dev/" + node, "E: BUSNUM=" + three(kBus), "E: DEVNUM=" + three(devnum),
        "E: PRODUCT=" + vendor + "/" + model + "/1", attr("busnum", std::to_string(kBus)),
        attr("devnum", std::to_string(devnum)),
        // The node's numbers: the preload library shows the node as this
        // character device.
        attr("dev", "189:" + std::to_string((kBus - 1) * 128 + devnum - 1)), attr("idVendor", vendor),
        attr("idProduct", model), attr("bNumInterfaces", " " + std::to_string(interfaces)),
        attr("bConfigurationValue", "1"), attr("manufacturer", "Motorola Inc."), attr("product", product)};
    if (!descriptors.empty())
        lines.push_back("H: descriptors=" + descriptors);
    return device(path, lines);
}

std::string usbInterface(const std::string& path, int number, const char* cls, const char* sub,
                         const char* driver = nullptr, const char* name = nullptr)
{
    char num[8];
    std::snprintf(num, sizeof num, "%02x", number);
    std::vector<std::string> lines = {"E: SUBSYSTEM=usb", "E: DEVTYPE=usb_interface", attr("bInterfaceNumber", num),
                                      attr("bInterfaceClass", cls), attr("bInterfaceSubClass", sub),
                                      attr("bInterfaceProtocol", "00"), attr("bAlternateSetting", " 0")};
    if (driver) {
        lines.push_back(std::string("E: DRIVER=") + driver);
        lines.push_back(std::string("L: driver=../../../../../../bus/usb/drivers/") + driver);
    }
    if (name)
        lines.push_back(attr("interface", name));
    return device(path, lines);
}

} // namespace

std::string EmulatedBus::unavailableReason()
{
    const char* preload = std::getenv("LD_PRELOAD");
    if (!preload || !std::strstr(preload, "libumockdev-preload"))
        return "the umockdev preload library is not loaded (run the test under umockdev-wrapper)";
    return {};
}

EmulatedBus::EmulatedBus()
{
    m_testbed = umockdev_testbed_new();
    m_handler = umockdev_ioctl_base_new();
    g_signal_connect_data(m_handler, "handle-ioctl", reinterpret_cast<GCallback>(&EmulatedBus::onIoctl), this,
                          nullptr, GConnectFlags{});
}

EmulatedBus::~EmulatedBus()
{
    if (m_appearance)
        detach(*m_appearance);
    if (m_other)
        detach(*m_other);
    g_object_unref(m_handler);
    g_object_unref(m_testbed);
}

void EmulatedBus::plugInPhone(PhoneMode mode, std::shared_ptr<phone::sim::IPhoneStorage> storage)
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_phone)
            m_phone = std::make_unique<phone::sim::VirtualPhone>(*this, 1, std::move(storage));
        m_phone->plugIn(mode);
    }
    pump();
}

void EmulatedBus::unplugPhone()
{
    {
        std::lock_guard lock(m_mutex);
        m_phone->unplug();
    }
    pump();
}

void EmulatedBus::plugInOtherDevice()
{
    Appearance other;
    other.sysPath = std::string(kHub) + "/1-3";
    const int devnum = m_nextDevnum++;
    other.node = "/dev/bus/usb/" + three(kBus) + "/" + three(devnum);
    other.children = {other.sysPath + "/1-3:1.0"};
    addDevices(usbDevice(other.sysPath, devnum, "046d:c31c", "USB Keyboard", 1)
                          + usbInterface(other.children[0], 0, "03", "01", "usbhid"));
    m_other = std::move(other);
}

void EmulatedBus::announce(bool p2kInterface, DeviceChange change)
{
    // Called by the phone, with m_mutex held by whoever drives it.
    m_changes.push_back({p2kInterface, change, m_phone->generation()});
}

// The testbed sends the "add" uevent of each device as it makes it, parents
// first, so the program may look while the phone is half made, as with the
// kernel.
void EmulatedBus::addDevices(const std::string& description)
{
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(m_testbed, description.c_str(), &error)) {
        std::fprintf(stderr, "emulated bus: %s\n", error->message);
        g_error_free(error);
        std::abort();
    }
}

void EmulatedBus::attach(const Change& change)
{
    Appearance appearance;
    appearance.p2k = change.p2k;
    appearance.generation = change.generation;
    appearance.sysPath = std::string(kHub) + "/1-2";
    const int devnum = m_nextDevnum++;
    const std::string usbNode = "/dev/bus/usb/" + three(kBus) + "/" + three(devnum);
    if (change.p2k) {
        appearance.node = usbNode;
        appearance.children = {appearance.sysPath + "/1-2:1.0", appearance.sysPath + "/1-2:1.8"};
        {
            std::lock_guard lock(m_mutex);
            m_nodes[usbNode] = NodeState{change.generation, true, {}};
        }
        // The handler must be in place before anybody opens the node.
        GError* error = nullptr;
        if (!umockdev_testbed_attach_ioctl(m_testbed, usbNode.c_str(), m_handler, &error)) {
            std::fprintf(stderr, "emulated bus: %s\n", error->message);
            g_error_free(error);
            std::abort();
        }
        addDevices(usbDevice(appearance.sysPath, devnum, "22b8:4902", "Motorola Phone (V3)", 2, kP2KDescriptors)
                       + usbInterface(appearance.children[0], 0, "ff", "00")
                       + usbInterface(appearance.children[1], kCommandInterface, "ff", "00", nullptr,
                                      "Motorola Test Command"));
    } else {
        // A new tty name each time: the testbed keeps the pseudo-terminal of
        // a node name for its whole life.
        const std::string tty = "ttyACM" + std::to_string(m_nextTty++);
        appearance.node = "/dev/" + tty;
        const std::string control = appearance.sysPath + "/1-2:1.0";
        appearance.children = {control, appearance.sysPath + "/1-2:1.1", control + "/tty/" + tty};
        // The tty has no "dev" attribute: with one, the preload library
        // takes the node for a device file of its own, and termios calls on
        // it fail.
        addDevices(usbDevice(appearance.sysPath, devnum, "22b8:4901", "Motorola Phone (V3)", 2)
                       + usbInterface(control, 0, "02", "02", "cdc_acm")
                       + usbInterface(appearance.children[1], 1, "0a", "00", "cdc_acm")
                       + device(appearance.children[2],
                                {"N: " + tty, "E: SUBSYSTEM=tty", "E: DEVNAME=/dev/" + tty, "E: MAJOR=166",
                                 "E: MINOR=" + std::to_string(m_nextTty - 1)}));
        appearance.ptyMaster = umockdev_testbed_get_dev_fd(m_testbed, appearance.node.c_str());
        if (appearance.ptyMaster >= 0)
            ::fcntl(appearance.ptyMaster, F_SETFL, ::fcntl(appearance.ptyMaster, F_GETFL) | O_NONBLOCK);
    }
    m_appearance = std::move(appearance);
}

void EmulatedBus::detach(Appearance& appearance)
{
    // The uevent carries the device's properties from sysfs: sent first.
    // Each child goes on its own, since removing a device leaves the links
    // of its children behind.
    for (auto it = appearance.children.rbegin(); it != appearance.children.rend(); ++it) {
        umockdev_testbed_uevent(m_testbed, it->c_str(), "remove");
        umockdev_testbed_remove_device(m_testbed, it->c_str());
    }
    umockdev_testbed_uevent(m_testbed, appearance.sysPath.c_str(), "remove");
    umockdev_testbed_remove_device(m_testbed, appearance.sysPath.c_str());
    // The handler stays attached: a program that still holds the node gets
    // ENODEV from it, as from the kernel (detaching would leave its next
    // ioctl unanswered).
    if (appearance.p2k) {
        std::lock_guard lock(m_mutex);
        m_nodes[appearance.node].present = false;
    }
}

void EmulatedBus::pump()
{
    std::vector<Change> changes;
    {
        std::lock_guard lock(m_mutex);
        if (m_appearance && m_appearance->ptyMaster >= 0) {
            uint8_t buffer[256];
            ssize_t n;
            // EIO while nobody holds the tty open, EAGAIN when it is quiet.
            while ((n = ::read(m_appearance->ptyMaster, buffer, sizeof buffer)) > 0)
                m_phone->handleATWrite(std::span<const uint8_t>(buffer, static_cast<std::size_t>(n)));
        }
        changes.swap(m_changes);
    }
    for (const Change& change : changes) {
        if (change.change == DeviceChange::Removal) {
            if (m_appearance)
                detach(*m_appearance);
            m_appearance.reset();
        } else {
            attach(change);
        }
    }
}

ChildRun EmulatedBus::run(const std::vector<std::string>& argv)
{
    ChildRun result;
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    std::vector<char*> args;
    for (const auto& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    // A child built with AddressSanitizer finds the preload library ahead of
    // its runtime, as this program does (SanitizerOptions.cpp).
    std::vector<std::string> variables;
    bool asanSet = false;
    for (char** v = environ; *v; ++v) {
        variables.emplace_back(*v);
        if (variables.back().rfind("ASAN_OPTIONS=", 0) == 0) {
            variables.back() += ":verify_asan_link_order=0";
            asanSet = true;
        }
    }
    if (!asanSet)
        variables.emplace_back("ASAN_OPTIONS=verify_asan_link_order=0");
    std::vector<char*> env;
    for (auto& variable : variables)
        env.push_back(variable.data());
    env.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    if (spawned != 0) {
        result.err = "cannot start " + argv[0] + ": " + std::strerror(spawned);
        ::close(out[0]);
        ::close(err[0]);
        return result;
    }
    // A child that hangs is ended, so that the test reports it rather than
    // running into the test's own time-out.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    bool exited = false;
    int open = 2;
    while (!exited || open > 0) {
        pump();
        ::poll(fds, 2, 5);
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP)))
                continue;
            char buffer[4096];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(n));
            } else {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
        if (!exited && std::chrono::steady_clock::now() > giveUp) {
            ::kill(pid, SIGKILL);
            result.err += "\n(ended: it did not finish)\n";
        }
        int status = 0;
        if (!exited && ::waitpid(pid, &status, WNOHANG) == pid) {
            exited = true;
            result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
    }
    pump();
    return result;
}

std::string EmulatedBus::p2kSysPath() const
{
    return m_appearance && m_appearance->p2k ? m_appearance->sysPath : std::string();
}

std::string EmulatedBus::p2kNode() const
{
    return m_appearance && m_appearance->p2k ? m_appearance->node : std::string();
}

std::vector<unsigned long> EmulatedBus::unknownIoctls() const
{
    std::lock_guard lock(m_mutex);
    return m_unknown;
}

std::string EmulatedBus::ioctlRecord() const
{
    std::lock_guard lock(m_mutex);
    std::string text = "@DEV " + p2kNode() + "\n" + m_recordConnectInfo + m_recordCapabilities;
    for (const auto& line : m_record)
        text += line + "\n";
    return text;
}

std::vector<std::string> EmulatedBus::replayMismatches() const
{
    std::lock_guard lock(m_mutex);
    return m_mismatches;
}

void EmulatedBus::replay(const std::string& devicesFile, const std::string& ioctlFile)
{
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_file(m_testbed, devicesFile.c_str(), &error)) {
        m_mismatches.push_back(std::string("cannot load ") + devicesFile + ": " + error->message);
        g_error_free(error);
        return;
    }
    std::ifstream in(ioctlFile);
    std::string line, node;
    std::vector<RecordedUrb> urbs;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string name;
        words >> name;
        if (name == "@DEV") {
            words >> node;
        } else if (name == "USBDEVFS_REAPURB" || name == "USBDEVFS_REAPURBNDELAY") {
            int ret = 0;
            unsigned type = 0, endpoint = 0, flags = 0;
            int errors = 0;
            RecordedUrb urb;
            std::string data;
            words >> ret >> type >> endpoint >> urb.status >> flags >> urb.length >> urb.actual >> errors >> data;
            for (std::size_t i = 0; i + 1 < data.size(); i += 2)
                urb.buffer.push_back(static_cast<uint8_t>(std::stoi(data.substr(i, 2), nullptr, 16)));
            urbs.push_back(std::move(urb));
        }
    }
    {
        std::lock_guard lock(m_mutex);
        m_replay = std::move(urbs);
        m_nodes[node] = NodeState{0, true, {}};
    }
    if (!umockdev_testbed_attach_ioctl(m_testbed, node.c_str(), m_handler, &error)) {
        m_mismatches.push_back("cannot attach to " + node + ": " + error->message);
        g_error_free(error);
    }
}

// ---- the usbfs node ----------------------------------------------------------

int EmulatedBus::onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, void* self)
{
    return static_cast<EmulatedBus*>(self)->handleIoctl(client);
}

namespace {

// The argument of the ioctl as a local copy of `size` bytes at the address
// the program passed; written back when the ioctl completes.
struct Resolved {
    UMockdevIoctlData* data = nullptr;
    Resolved(UMockdevIoctlData* parent, std::size_t offset, std::size_t size)
    {
        GError* error = nullptr;
        data = umockdev_ioctl_data_resolve(parent, offset, size, &error);
        if (error)
            g_error_free(error);
    }
    ~Resolved()
    {
        if (data)
            g_object_unref(data);
    }
    Resolved(const Resolved&) = delete;
    Resolved& operator=(const Resolved&) = delete;
    template <class T>
    T* as() { return reinterpret_cast<T*>(data->data); }
    template <class T>
    void put(std::size_t offset, const T& value)
    {
        umockdev_ioctl_data_update(data, offset, reinterpret_cast<guint8*>(const_cast<T*>(&value)), sizeof value);
    }
};

void fail(UMockdevIoctlClient* client, int error)
{
    umockdev_ioctl_client_complete(client, -1, error);
}

} // namespace

bool EmulatedBus::handleIoctl(UMockdevIoctlClient* client)
{
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    std::unique_lock lock(m_mutex);
    auto found = m_nodes.find(umockdev_ioctl_client_get_devnode(client));
    if (found == m_nodes.end()) {
        fail(client, ENODEV);
        return true;
    }
    NodeState& node = found->second;
    const bool reap = request == USBDEVFS_REAPURB || request == USBDEVFS_REAPURBNDELAY;
    // A device that has left the bus answers ENODEV, except that URBs it
    // finished before can still be reaped (USBDEVFS_CAP_REAP_AFTER_DISCONNECT).
    const bool gone = !node.present || (!m_replay && !m_phone->attachedAs(PhoneMode::P2K, node.generation));
    if (gone && !(reap && !node.reapable.empty())) {
        fail(client, ENODEV);
        return true;
    }
    switch (request) {
    case USBDEVFS_GET_CAPABILITIES: {
        Resolved caps(arg, 0, sizeof(uint32_t));
        caps.put<uint32_t>(0, USBDEVFS_CAP_ZERO_PACKET | USBDEVFS_CAP_BULK_CONTINUATION
                                  | USBDEVFS_CAP_NO_PACKET_SIZE_LIM | USBDEVFS_CAP_REAP_AFTER_DISCONNECT);
        umockdev_ioctl_client_complete(client, 0, 0);
        m_recordCapabilities = "USBDEVFS_GET_CAPABILITIES 0 " + hex(caps.data->data, sizeof(uint32_t)) + "\n";
        return true;
    }
    case USBDEVFS_CONNECTINFO: {
        Resolved info(arg, 0, sizeof(usbdevfs_connectinfo));
        usbdevfs_connectinfo value{};
        value.devnum = static_cast<unsigned>(std::stoi(found->first.substr(found->first.size() - 3)));
        info.put(0, value);
        umockdev_ioctl_client_complete(client, 0, 0);
        m_recordConnectInfo = "USBDEVFS_CONNECTINFO 0 "
            + hex(reinterpret_cast<const uint8_t*>(&value), sizeof value) + "\n";
        return true;
    }
    case USBDEVFS_GET_SPEED:
        umockdev_ioctl_client_complete(client, 3, 0); // high speed
        return true;
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_RELEASEINTERFACE:
    case USBDEVFS_DISCONNECT_CLAIM: { // the interface number comes first in each
        Resolved number(arg, 0, sizeof(unsigned));
        const unsigned iface = *number.as<unsigned>();
        if (iface == 0 || iface == kCommandInterface)
            umockdev_ioctl_client_complete(client, 0, 0);
        else
            fail(client, EINVAL);
        return true;
    }
    case USBDEVFS_GETDRIVER:
    case USBDEVFS_IOCTL:
        fail(client, ENODATA); // no kernel driver holds the interfaces
        return true;
    case USBDEVFS_CONTROL: {
        // libusb reads the active configuration this way when it opens.
        Resolved transfer(arg, 0, sizeof(usbdevfs_ctrltransfer));
        const auto* t = transfer.as<usbdevfs_ctrltransfer>();
        if (t->bRequestType != 0x80 || t->bRequest != 0x08 || t->wLength < 1) {
            fail(client, EPIPE);
            return true;
        }
        Resolved data(transfer.data, offsetof(usbdevfs_ctrltransfer, data), t->wLength);
        data.put<uint8_t>(0, 1);
        umockdev_ioctl_client_complete(client, 1, 0);
        return true;
    }
    case USBDEVFS_SUBMITURB:
        return submitUrb(client, node);
    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY: {
        if (node.reapable.empty()) {
            fail(client, EAGAIN);
            return true;
        }
        Resolved pointer(arg, 0, sizeof(void*));
        pointer.put<uint64_t>(0, node.reapable.front());
        node.reapable.erase(node.reapable.begin());
        umockdev_ioctl_client_complete(client, 0, 0);
        return true;
    }
    case USBDEVFS_DISCARDURB:
        fail(client, EINVAL); // every URB has finished by the time it is reaped
        return true;
    default:
        m_unknown.push_back(request);
        fail(client, ENOTTY);
        return true;
    }
}

// The recorded URB that asks what the program asks (the setup block, and
// for a host-to-device URB its data), looked for from the last one replayed
// on and then from the start: umockdev-record keeps a URB only once when it
// repeats exactly. Its answer bytes for a device-to-host URB; a failed URB
// (recorded status below 0) comes back as Failed with the status's number as
// its one byte.
RequestResult EmulatedBus::replayed(const usbdevfs_urb& urb, const uint8_t* buffer, bool in)
{
    RequestResult result;
    const std::size_t compared = in ? 8 : static_cast<std::size_t>(urb.buffer_length);
    const auto asks = [&](const RecordedUrb& r) {
        return r.length == urb.buffer_length && r.buffer.size() >= compared
            && std::equal(buffer, buffer + compared, r.buffer.begin());
    };
    const auto& urbs = *m_replay;
    auto found = std::find_if(urbs.begin() + static_cast<std::ptrdiff_t>(m_replayAt), urbs.end(), asks);
    if (found == urbs.end())
        found = std::find_if(urbs.begin(), urbs.end(), asks);
    if (found == urbs.end()) {
        m_mismatches.push_back("not in the recording: " + hex(buffer, compared));
        return result;
    }
    m_replayAt = static_cast<std::size_t>(found - urbs.begin()) + 1;
    const RecordedUrb& recorded = *found;
    if (recorded.status < 0) {
        result.output = {static_cast<uint8_t>(-recorded.status)};
        return result;
    }
    result.outcome = RequestOutcome::Completed;
    if (in && recorded.actual > 0 && recorded.buffer.size() >= 8 + static_cast<std::size_t>(recorded.actual))
        result.output.assign(recorded.buffer.begin() + 8, recorded.buffer.begin() + 8 + recorded.actual);
    return result;
}

// A control URB carries the setup block and the data stage in one buffer.
// The phone takes a request block as the transport built it: the setup block,
// then for a command the data stage and its two trailing zero bytes, for a
// status query or an answer fetch the one zero byte; neither trailer crosses
// the wire, so it is put back here.
bool EmulatedBus::submitUrb(UMockdevIoctlClient* client, NodeState& node)
{
    Resolved urbData(umockdev_ioctl_client_get_arg(client), 0, sizeof(usbdevfs_urb));
    const usbdevfs_urb urb = *urbData.as<usbdevfs_urb>();
    if (urb.type != USBDEVFS_URB_TYPE_CONTROL || urb.buffer_length < 8) {
        fail(client, EINVAL);
        return true;
    }
    Resolved buffer(urbData.data, offsetof(usbdevfs_urb, buffer), static_cast<std::size_t>(urb.buffer_length));
    const uint8_t* setup = buffer.as<uint8_t>();
    InputBlock input;
    input.setup = {setup[0], setup[1], static_cast<uint16_t>(setup[2] | setup[3] << 8),
                   static_cast<uint16_t>(setup[4] | setup[5] << 8), static_cast<uint16_t>(setup[6] | setup[7] << 8)};
    const std::size_t stage = std::min<std::size_t>(input.setup.length, static_cast<std::size_t>(urb.buffer_length) - 8);
    const bool in = (input.setup.requestType & 0x80) != 0;
    RequestResult answer;
    if (m_replay) {
        answer = replayed(urb, buffer.as<uint8_t>(), in);
    } else if (in) {
        input.data = {0};
        if (input.setup.request == 0)
            answer = m_phone->handleStatus(input, stage, 5000);
        else if (input.setup.request == 1)
            answer = m_phone->handleFetch(input, stage, 5000);
    } else {
        input.data.assign(setup + 8, setup + 8 + stage);
        input.data.insert(input.data.end(), {0, 0});
        if (input.setup.request == 2)
            answer = m_phone->handleSend(input, 5, 5000);
    }
    int status = 0;
    int actual = 0;
    if (m_replay && answer.outcome != RequestOutcome::Completed) {
        status = answer.output.empty() ? -EPIPE : -answer.output[0];
    } else if (answer.outcome == RequestOutcome::Failed) {
        status = -EPIPE; // the phone stalls the request
    } else if (in) {
        actual = static_cast<int>(std::min(answer.output.size(), stage));
        if (actual > 0)
            umockdev_ioctl_data_update(buffer.data, 8, answer.output.data(), actual);
    } else {
        actual = static_cast<int>(stage);
    }
    urbData.put(offsetof(usbdevfs_urb, status), status);
    urbData.put(offsetof(usbdevfs_urb, actual_length), actual);
    node.reapable.push_back(urbData.data->client_addr);
    // The line umockdev's ioctl recorder writes for the reap of this URB.
    char head[96];
    std::snprintf(head, sizeof head, "USBDEVFS_REAPURBNDELAY 0 %u %u %i %u %i %i %i ", unsigned{urb.type},
                  unsigned{urb.endpoint}, status, urb.flags, urb.buffer_length, actual, 0);
    std::vector<uint8_t> recorded(buffer.as<uint8_t>(), buffer.as<uint8_t>() + urb.buffer_length);
    if (in)
        std::fill(recorded.begin() + 8 + actual, recorded.end(), uint8_t{0});
    m_record.push_back(head + hex(recorded.data(), recorded.size()));
    umockdev_ioctl_client_complete(client, 0, 0);
    return true;
}

} // namespace vexlon::test
