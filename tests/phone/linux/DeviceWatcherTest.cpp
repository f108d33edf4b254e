#include "phone/linux/DeviceWatcher.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

using namespace vexlon::phone;
using namespace vexlon::phone::lnx;

namespace {

class FakeClock final : public IClock {
public:
    explicit FakeClock(uint32_t start = 1000) : now(start) {}
    uint32_t nowMs() override { return now; }
    void sleepMs(uint32_t ms) override { now += ms; }
    uint32_t now;
};

// A device list the test changes at will; counts the enumerations.
struct FakeSystem {
    std::optional<std::vector<uint32_t>> present = std::vector<uint32_t>{};
    int scans = 0;

    Enumerator enumerator()
    {
        return [this] {
            ++scans;
            return present;
        };
    }
};

// A monitor whose events the test sends down a pipe.
class PipeEvents final : public EventSource {
public:
    PipeEvents()
    {
        if (::pipe2(m_fds, O_NONBLOCK | O_CLOEXEC) != 0)
            m_fds[0] = m_fds[1] = -1;
    }
    ~PipeEvents() override
    {
        ::close(m_fds[0]);
        ::close(m_fds[1]);
    }
    int fd() const override { return m_fds[0]; }
    std::size_t drain() override
    {
        char buffer[64];
        std::size_t count = 0;
        ssize_t n = 0;
        while ((n = ::read(m_fds[0], buffer, sizeof buffer)) > 0)
            count += static_cast<std::size_t>(n);
        return count;
    }
    void send() const { ASSERT_EQ(::write(m_fds[1], "x", 1), 1); }

private:
    int m_fds[2] = {-1, -1};
};

using Changes = std::vector<DeviceChange>;
constexpr auto Arrival = DeviceChange::Arrival;
constexpr auto Removal = DeviceChange::Removal;

bool readable(int fd)
{
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) == 1 && (p.revents & POLLIN) != 0;
}

WatcherOptions clockOnly()
{
    WatcherOptions options;
    options.useTimerFd = false;
    return options;
}

} // namespace

TEST(DeviceWatcherTest, TrackerRaisesOnlyOnChange)
{
    PresenceTracker tracker({1, 2});
    EXPECT_EQ(tracker.update({2, 1}), Changes{});
    EXPECT_EQ(tracker.update({1, 2, 3}), Changes{Arrival});
    EXPECT_EQ(tracker.update({1, 3}), Changes{Removal});
    // One gone and one come in the same look: removal first, as the host
    // closes the old phone before it takes up the new one.
    EXPECT_EQ(tracker.update({1, 4}), (Changes{Removal, Arrival}));
    // Two gone at once: one notification.
    EXPECT_EQ(tracker.update({}), Changes{Removal});
    EXPECT_EQ(tracker.update({}), Changes{});
}

TEST(DeviceWatcherTest, PollingFallbackFollowsTheClock)
{
    FakeSystem system;
    system.present = std::vector<uint32_t>{10};
    FakeClock clock;
    DeviceWatcher watcher(system.enumerator(), clock, nullptr, clockOnly());
    EXPECT_EQ(system.scans, 1);  // the baseline
    EXPECT_EQ(watcher.fd(), -1);
    EXPECT_EQ(watcher.pollIntervalMs(), 2000);

    // What was there at the start is no news.
    clock.now += 2000;
    EXPECT_EQ(watcher.processPendingEvents(), Changes{});
    EXPECT_EQ(system.scans, 2);

    // Before two seconds are up nothing is enumerated, so a change waits.
    system.present = std::vector<uint32_t>{10, 11};
    clock.now += 1999;
    EXPECT_EQ(watcher.processPendingEvents(), Changes{});
    EXPECT_EQ(system.scans, 2);
    clock.now += 1;
    EXPECT_EQ(watcher.processPendingEvents(), Changes{Arrival});
    // Reported once.
    clock.now += 2000;
    EXPECT_EQ(watcher.processPendingEvents(), Changes{});

    system.present = std::vector<uint32_t>{11};
    clock.now += 2500;
    EXPECT_EQ(watcher.processPendingEvents(), Changes{Removal});
}

TEST(DeviceWatcherTest, FailedEnumerationIsNotARemoval)
{
    FakeSystem system;
    system.present = std::vector<uint32_t>{10};
    FakeClock clock;
    DeviceWatcher watcher(system.enumerator(), clock, nullptr, clockOnly());

    system.present = std::nullopt;  // sysfs not readable this time
    clock.now += 2000;
    EXPECT_EQ(watcher.processPendingEvents(), Changes{});
    system.present = std::vector<uint32_t>{10};
    clock.now += 2000;
    EXPECT_EQ(watcher.processPendingEvents(), Changes{});

    // A watcher whose first look failed reports what a later one finds.
    FakeSystem late;
    late.present = std::nullopt;
    DeviceWatcher second(late.enumerator(), clock, nullptr, clockOnly());
    late.present = std::vector<uint32_t>{7};
    clock.now += 2000;
    EXPECT_EQ(second.processPendingEvents(), Changes{Arrival});
}

TEST(DeviceWatcherTest, ClockWrapDoesNotStopPolling)
{
    FakeSystem system;
    FakeClock clock(0xFFFFFC00u);
    DeviceWatcher watcher(system.enumerator(), clock, nullptr, clockOnly());
    system.present = std::vector<uint32_t>{5};
    clock.now += 2000;  // wraps past zero
    EXPECT_EQ(watcher.processPendingEvents(), Changes{Arrival});
    EXPECT_EQ(system.scans, 2);
}

TEST(DeviceWatcherTest, MonitorEventsLookAtOnce)
{
    FakeSystem system;
    FakeClock clock;
    auto events = std::make_unique<PipeEvents>();
    PipeEvents* monitor = events.get();
    DeviceWatcher watcher(system.enumerator(), clock, std::move(events), clockOnly());
    ASSERT_GE(watcher.fd(), 0);
    EXPECT_FALSE(readable(watcher.fd()));

    // An event makes the host's descriptor readable and is looked into
    // without waiting for the period.
    system.present = std::vector<uint32_t>{3};
    monitor->send();
    EXPECT_TRUE(readable(watcher.fd()));
    EXPECT_EQ(watcher.processPendingEvents(), Changes{Arrival});
    EXPECT_FALSE(readable(watcher.fd()));  // drained

    // Events that change nothing of this listing (another tty, a driver
    // binding) raise nothing.
    monitor->send();
    monitor->send();
    EXPECT_EQ(watcher.processPendingEvents(), Changes{});
    EXPECT_EQ(system.scans, 3);
}

TEST(DeviceWatcherTest, TimerDescriptorStandsInForTheHostTick)
{
    FakeSystem system;
    FakeClock clock;
    DeviceWatcher watcher(system.enumerator(), clock, nullptr);
    // The timer is part of the watched descriptor: the host needs no
    // period of its own.
    EXPECT_GE(watcher.fd(), 0);
    EXPECT_EQ(watcher.pollIntervalMs(), -1);
    EXPECT_EQ(watcher.processPendingEvents(), Changes{});
}
