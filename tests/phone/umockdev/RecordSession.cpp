// Makes the shipped recording of a session: the virtual phone holding the
// sample dictionary on the emulated bus, its sysfs devices as umockdev-record
// writes them, and `vexlon-cli phone read` on its usbfs node as an ioctl
// record. Run under umockdev-wrapper:
//
//   umockdev-wrapper tests/bin/record-emulated-session OUTDIR
//
// writes OUTDIR/phone-read.umockdev, phone-read.ioctl and phone-read.iud (the
// dictionary the phone held, which a replay must read back).
#include "EmulatedBus.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace vexlon;
using namespace vexlon::test;
namespace fs = std::filesystem;

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: record-emulated-session OUTDIR\n");
        return 2;
    }
    if (const std::string why = EmulatedBus::unavailableReason(); !why.empty()) {
        std::fprintf(stderr, "record-emulated-session: %s\n", why.c_str());
        return 1;
    }
    const fs::path out = argv[1];
    fs::create_directories(out);
    std::ifstream sampleFile(VEXLON_BIN_DIR "/samples/sample.iud", std::ios::binary);
    const std::vector<uint8_t> sample{std::istreambuf_iterator<char>(sampleFile), std::istreambuf_iterator<char>()};
    auto storage = std::make_shared<phone::sim::MemoryStorage>();
    storage->put("a/iTAP_User_Dictionary", sample);

    EmulatedBus bus;
    bus.plugInPhone(phone::sim::PhoneMode::P2K, storage);
    const std::string device = bus.p2kSysPath();
    const ChildRun devices = bus.run({"umockdev-record", device, device + "/1-2:1.0", device + "/1-2:1.8"});
    const ChildRun read = bus.run({VEXLON_BIN_DIR "/vexlon-cli", "phone", "read", (out / "phone-read.iud").string()});
    if (devices.status != 0 || read.status != 0) {
        std::fprintf(stderr, "record-emulated-session: %s%s", devices.err.c_str(), read.err.c_str());
        return 1;
    }
    std::ofstream(out / "phone-read.umockdev") << devices.out;
    std::ofstream(out / "phone-read.ioctl") << bus.ioctlRecord();
    return 0;
}
