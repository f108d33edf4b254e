// A USB bus emulated by umockdev, with a virtual phone plugged into it, so
// that the Linux device access (libudev, termios, libusb over usbfs) runs
// its real code against the kernel interfaces it uses.
//
// The program must run with the umockdev preload library (umockdev-wrapper).
// The bus lives in a umockdev testbed: sysfs devices for the phone as it
// shows itself (in AT mode a cdc_acm modem with its ttyACM tty, in P2K mode a
// Motorola device with its vendor-specific command interface and a usbfs
// node), add and remove uevents as it comes and goes, a pseudo-terminal
// behind the modem tty, and an ioctl handler on the usbfs node that carries
// the control transfers libusb makes to the virtual phone.
//
// Threads. The ioctl handler runs on the testbed's own thread and answers
// while the program (this process or a child) waits for it. What the modem
// tty receives and the phone's arrivals and removals are dealt with by
// pump(), on the caller's thread: the phone announces them as it changes,
// and pump() mirrors them in sysfs and sends the uevents. run() pumps while
// a child runs; tests of this process call pump() themselves.
//
// Each udev monitor of a program is a datagram socket that holds about ten
// uevents (net.unix.max_dgram_qlen); the testbed aborts when one is full. A
// phone's arrival or removal sends three or four, so a program that watches
// must be let to read them (the event loop run) between a few changes.
#pragma once

#include "phone/sim/PhoneStorage.h"
#include "phone/sim/VirtualPhone.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct usbdevfs_urb;
typedef struct _UMockdevTestbed UMockdevTestbed;
typedef struct _UMockdevIoctlBase UMockdevIoctlBase;
typedef struct _UMockdevIoctlClient UMockdevIoctlClient;

namespace vexlon::test {

struct ChildRun {
    int status = -1; // exit status; -1 when it did not exit normally
    std::string out;
    std::string err;
};

class EmulatedBus final : public phone::sim::PhoneBus {
public:
    // Why no bus can be made in this process (the preload library is not
    // loaded), or empty.
    static std::string unavailableReason();

    EmulatedBus();
    ~EmulatedBus() override;
    EmulatedBus(const EmulatedBus&) = delete;
    EmulatedBus& operator=(const EmulatedBus&) = delete;

    // Plugs the phone in (one per bus); its files live in `storage`.
    void plugInPhone(phone::sim::PhoneMode mode, std::shared_ptr<phone::sim::IPhoneStorage> storage);
    void unplugPhone();
    // A device that is no phone (a keyboard), for the AT listing's events.
    void plugInOtherDevice();

    // Runs f on the phone while the ioctl handler cannot touch it.
    template <class F>
    auto withPhone(F f)
    {
        std::lock_guard lock(m_mutex);
        return f(*m_phone);
    }

    // Carries what the modem tty received to the phone, then mirrors every
    // arrival and removal the phone announced in sysfs with its uevents.
    void pump();
    // Runs a program to its end, pumping meanwhile; the child inherits the
    // testbed through the environment.
    ChildRun run(const std::vector<std::string>& argv);

    // Instead of a live phone, a recorded session: the devices of a
    // umockdev-record file and, on the usbfs node its ioctl record names
    // ("@DEV /dev/bus/usb/BBB/DDD"), each URB answered as recorded. A
    // request the recording does not have is answered with a stall and
    // noted in replayMismatches().
    void replay(const std::string& devicesFile, const std::string& ioctlFile);
    std::vector<std::string> replayMismatches() const;

    // The sysfs device and usbfs node of the phone in P2K mode, empty when
    // it is not attached so.
    std::string p2kSysPath() const;
    std::string p2kNode() const;
    // ioctls the handler did not know, by number; a test expects none.
    std::vector<unsigned long> unknownIoctls() const;
    // The session so far as umockdev-record writes an ioctl record of the
    // node: its connection and capabilities, then each finished URB as its
    // reap (the data area of a device-to-host URB past what arrived is left
    // zero).
    std::string ioctlRecord() const;

    // PhoneBus
    void advanceClock(uint32_t) override {}
    void log(const std::string&) override {}
    void announce(bool p2kInterface, phone::DeviceChange change) override;

private:
    struct Appearance {
        bool p2k = false;
        uint32_t generation = 0;
        std::string sysPath;
        std::vector<std::string> children; // interfaces and tty, in order of adding
        std::string node;                  // usbfs node or tty
        int ptyMaster = -1;
    };
    struct Change {
        bool p2k;
        phone::DeviceChange change;
        uint32_t generation;
    };
    struct RecordedUrb {
        int status = 0;
        int length = 0;
        int actual = 0;
        std::vector<uint8_t> buffer;
    };
    struct NodeState {
        uint32_t generation = 0;
        bool present = false;
        std::vector<uint64_t> reapable; // client addresses of finished URBs
    };

    void attach(const Change& change);
    void detach(Appearance& appearance);
    void addDevices(const std::string& description);
    static int onIoctl(UMockdevIoctlBase* handler, UMockdevIoctlClient* client, void* self);
    bool handleIoctl(UMockdevIoctlClient* client);
    bool submitUrb(UMockdevIoctlClient* client, NodeState& node);
    phone::RequestResult replayed(const ::usbdevfs_urb& urb, const uint8_t* buffer, bool in);

    UMockdevTestbed* m_testbed = nullptr;
    UMockdevIoctlBase* m_handler = nullptr;
    mutable std::mutex m_mutex; // the phone, the node states, the change queue
    std::unique_ptr<phone::sim::VirtualPhone> m_phone;
    std::vector<Change> m_changes;
    std::optional<Appearance> m_appearance;
    std::optional<Appearance> m_other;
    std::map<std::string, NodeState> m_nodes;
    std::vector<unsigned long> m_unknown;
    std::vector<std::string> m_record;
    std::string m_recordCapabilities;
    std::string m_recordConnectInfo;
    std::optional<std::vector<RecordedUrb>> m_replay;
    std::size_t m_replayAt = 0;
    std::vector<std::string> m_mismatches;
    int m_nextDevnum = 5;
    int m_nextTty = 0;
};

} // namespace vexlon::test
