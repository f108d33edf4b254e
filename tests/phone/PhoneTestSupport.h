// Helpers shared by the phone tests: a temporary folder and file helpers (for
// the platform tests), a
// recorder of component reports, a P2K component over one virtual phone, and
// a pseudo-terminal standing in for a phone's modem line.
#pragma once

#include "phone/MotoP2KMode.h"
#include "phone/PhoneTypes.h"
#include "phone/sim/VirtualBackend.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace vexlon::phone::test {

using Bytes = std::vector<uint8_t>;

class TempDir {
public:
    TempDir()
    {
        static int counter = 0;
        path_ = std::filesystem::temp_directory_path()
                / ("vexlon-phone-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

inline Bytes randomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 generator(seed);
    Bytes bytes(size);
    for (auto& b : bytes)
        b = static_cast<uint8_t>(generator());
    return bytes;
}

inline void writeFile(const std::filesystem::path& path, const Bytes& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline Bytes readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Report {
    std::string text;
    TDebugType type;
    bool subError;
    bool operator==(const Report&) const = default;
};

// Records the reports of the components' debug events.
struct ReportLog {
    std::vector<Report> reports;
    template <class Item>
    auto handler()
    {
        return [this](Item*, const std::string& text, TDebugType type, bool sub) {
            reports.push_back({text, type, sub});
        };
    }
    std::vector<std::string> texts() const
    {
        std::vector<std::string> result;
        for (const auto& r : reports)
            result.push_back(r.text);
        return result;
    }
    std::string last() const { return reports.empty() ? std::string() : reports.back().text; }
    void clear() { reports.clear(); }
};

using Texts = std::vector<std::string>;

// A P2K component over one virtual phone whose item is open, with its
// reports and its exchanges recorded.
class P2KPhoneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        component.SetOnDebug(log.handler<TMotoP2KModemItem>());
        component.SetOnExchange([this](TMotoP2KModemItem*, TP2KExchangeDirection direction,
                                       std::span<const uint8_t> bytes) {
            exchanges.emplace_back(direction, Bytes(bytes.begin(), bytes.end()));
        });
        ASSERT_EQ(component.DeviseList().Count(), 1);
        ASSERT_TRUE(item().OpenPhone());
        log.clear();
    }
    TMotoP2KModemItem& item() { return *component.DeviseList().Items(0); }
    sim::VirtualClock& clock() { return backend.virtualClock(); }

    ReportLog log; // outlives the component, which reports while closing
    std::vector<std::pair<TP2KExchangeDirection, Bytes>> exchanges;
    std::shared_ptr<sim::MemoryStorage> storage = std::make_shared<sim::MemoryStorage>();
    sim::VirtualBackend backend;
    sim::VirtualPhone& phone = backend.addPhone(sim::PhoneMode::P2K, storage);
    TMotoP2KMode component{backend};
};

// A pseudo-terminal standing in for a phone's modem: the port under test opens
// the terminal side, the test reads what "the phone" receives on the other. The
// terminal side stays open at 19200 baud, two stop bits, which the port must keep.
class Pty {
public:
    Pty()
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 || !::ptsname(master_))
            return;
        path_ = ::ptsname(master_);
        keeper_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY);
        termios t = settings();
        ::cfsetispeed(&t, B19200);
        ::cfsetospeed(&t, B19200);
        t.c_cflag |= CSTOPB;
        ::tcsetattr(keeper_, TCSANOW, &t);
    }
    ~Pty()
    {
        closeMaster();
        if (keeper_ >= 0)
            ::close(keeper_);
    }
    bool ok() const { return master_ >= 0 && keeper_ >= 0; }
    const std::string& path() const { return path_; }
    termios settings() const
    {
        termios t{};
        ::tcgetattr(keeper_, &t);
        return t;
    }
    // One read of what has arrived, waiting up to a second for it.
    std::string readOnce() const
    {
        char buffer[256];
        pollfd p{master_, POLLIN, 0};
        const ssize_t n = ::poll(&p, 1, 1000) == 1 ? ::read(master_, buffer, sizeof buffer) : 0;
        return std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0u);
    }
    void closeMaster()
    {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    int keeper_ = -1;
    std::string path_;
};

inline bool readable(int fd)
{
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) == 1 && (p.revents & POLLIN) != 0;
}

} // namespace vexlon::phone::test
