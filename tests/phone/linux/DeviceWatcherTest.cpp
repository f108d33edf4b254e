// The device watcher without hardware: the presence diff, the polling
// fallback on a fake clock, and monitor events sent down a pipe.
#include "phone/linux/DeviceWatcher.h"

#include "phone/PhoneTestSupport.h"

using namespace vexlon::phone;
using namespace vexlon::phone::lnx;
using vexlon::phone::test::readable;

namespace {

using Changes = std::vector<DeviceChange>;
constexpr auto Arrival = DeviceChange::Arrival;
constexpr auto Removal = DeviceChange::Removal;
using Present = std::optional<std::vector<uint32_t>>; // nullopt: sysfs not readable

// A monitor whose events the test sends down a pipe.
class PipeEvents final : public EventSource {
public:
    PipeEvents() { EXPECT_EQ(::pipe2(fds_, O_NONBLOCK | O_CLOEXEC), 0); }
    ~PipeEvents() override
    {
        ::close(fds_[0]);
        ::close(fds_[1]);
    }
    int fd() const override { return fds_[0]; }
    std::size_t drain() override
    {
        char buffer[64];
        std::size_t count = 0;
        for (ssize_t n; (n = ::read(fds_[0], buffer, sizeof buffer)) > 0;)
            count += static_cast<std::size_t>(n);
        return count;
    }
    void send() const { ASSERT_EQ(::write(fds_[1], "x", 1), 1); }

private:
    int fds_[2] = {-1, -1};
};

// A device list the test changes at will, with the enumerations counted,
// on a clock that moves only when told.
class DeviceWatcherTest : public ::testing::Test {
protected:
    std::unique_ptr<DeviceWatcher> watcher(std::unique_ptr<EventSource> events = nullptr, bool timer = false)
    {
        WatcherOptions options;
        options.useTimerFd = timer;
        const auto enumerate = [this] {
            ++scans;
            return present;
        };
        return std::make_unique<DeviceWatcher>(enumerate, clock, std::move(events), options);
    }
    Changes after(uint32_t ms, DeviceWatcher& w)
    {
        clock.advance(ms);
        return w.processPendingEvents();
    }
    Present present = std::vector<uint32_t>{};
    int scans = 0;
    sim::VirtualClock clock{1000};
};

} // namespace

TEST(DeviceWatcherTracker, RaisesOnlyOnChange)
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

TEST_F(DeviceWatcherTest, PollingFallbackFollowsTheClock)
{
    present = std::vector<uint32_t>{10};
    // The tick counter wraps during the wait for the arrival below.
    clock.set(0xFFFFFFFFu - 4000 + 1);
    auto w = watcher();
    EXPECT_EQ(scans, 1); // the baseline
    EXPECT_EQ(w->fd(), -1);
    EXPECT_EQ(w->pollIntervalMs(), 2000);
    // What was there at the start is no news.
    EXPECT_EQ(after(2000, *w), Changes{});
    EXPECT_EQ(scans, 2);
    // Before two seconds are up nothing is enumerated, so a change waits.
    present = std::vector<uint32_t>{10, 11};
    EXPECT_EQ(after(1999, *w), Changes{});
    EXPECT_EQ(scans, 2);
    EXPECT_EQ(after(1, *w), Changes{Arrival});
    EXPECT_EQ(clock.nowMs(), 0u);
    EXPECT_EQ(after(2000, *w), Changes{}); // reported once
    present = std::vector<uint32_t>{11};
    EXPECT_EQ(after(2500, *w), Changes{Removal});
    // A failed enumeration is no removal, nor is the next good one news.
    present = std::nullopt;
    EXPECT_EQ(after(2000, *w), Changes{});
    present = std::vector<uint32_t>{11};
    EXPECT_EQ(after(2000, *w), Changes{});

    // A watcher whose first look failed reports what a later one finds.
    present = std::nullopt;
    auto late = watcher();
    present = std::vector<uint32_t>{7};
    EXPECT_EQ(after(2000, *late), Changes{Arrival});
}

TEST_F(DeviceWatcherTest, MonitorEventsLookAtOnce)
{
    auto events = std::make_unique<PipeEvents>();
    PipeEvents* monitor = events.get();
    auto w = watcher(std::move(events));
    ASSERT_GE(w->fd(), 0);
    EXPECT_FALSE(readable(w->fd()));
    // An event makes the host's descriptor readable and is looked into
    // without waiting for the period.
    present = std::vector<uint32_t>{3};
    monitor->send();
    EXPECT_TRUE(readable(w->fd()));
    EXPECT_EQ(w->processPendingEvents(), Changes{Arrival});
    EXPECT_FALSE(readable(w->fd())); // drained
    // Events that change nothing of this listing (another tty, a driver
    // binding) raise nothing.
    monitor->send();
    monitor->send();
    EXPECT_EQ(w->processPendingEvents(), Changes{});
    EXPECT_EQ(scans, 3);

    // With a timer in the watched descriptor the host needs no period.
    auto timed = watcher(nullptr, true);
    EXPECT_GE(timed->fd(), 0);
    EXPECT_EQ(timed->pollIntervalMs(), -1);
    EXPECT_EQ(timed->processPendingEvents(), Changes{});
}
