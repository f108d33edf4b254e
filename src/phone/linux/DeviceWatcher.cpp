#include "phone/linux/DeviceWatcher.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/epoll.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace vexlon::phone::lnx {

PresenceTracker::PresenceTracker(std::vector<uint32_t> initial)
    : m_present(initial.begin(), initial.end())
{
}

std::vector<DeviceChange> PresenceTracker::update(const std::vector<uint32_t>& present)
{
    const std::set<uint32_t> now(present.begin(), present.end());
    const bool removed = std::any_of(m_present.begin(), m_present.end(),
                                     [&now](uint32_t id) { return now.count(id) == 0; });
    const bool arrived = std::any_of(now.begin(), now.end(),
                                     [this](uint32_t id) { return m_present.count(id) == 0; });
    m_present = now;
    std::vector<DeviceChange> changes;
    if (removed)
        changes.push_back(DeviceChange::Removal);
    if (arrived)
        changes.push_back(DeviceChange::Arrival);
    return changes;
}

DeviceWatcher::DeviceWatcher(Enumerator enumerate, IClock& clock, std::unique_ptr<EventSource> monitor,
                             WatcherOptions options, ReportFn report)
    : m_enumerate(std::move(enumerate)),
      m_clock(clock),
      m_monitor(std::move(monitor)),
      m_options(options),
      m_report(std::move(report))
{
    if (m_options.pollPeriodMs == 0)
        m_options.pollPeriodMs = kPollPeriodMs;
    // The first enumeration is the baseline, not news. When it fails the
    // baseline is empty, and what a later one finds counts as arrived.
    rescan();
    m_pending.clear();

    if (m_options.useTimerFd && !startTimer() && m_report)
        m_report("no polling timer (" + std::string(std::strerror(errno))
                 + "); the device list is checked at the host's period");

    // One descriptor for the host: the timer and the monitor together.
    const int monitorFd = m_monitor ? m_monitor->fd() : -1;
    if (m_timerFd < 0 && monitorFd < 0)
        return;
    m_epollFd = ::epoll_create1(EPOLL_CLOEXEC);
    for (const int source : {m_timerFd, monitorFd}) {
        if (m_epollFd < 0 || source < 0)
            continue;
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.fd = source;
        if (::epoll_ctl(m_epollFd, EPOLL_CTL_ADD, source, &event) != 0) {
            ::close(m_epollFd);
            m_epollFd = -1;
        }
    }
}

DeviceWatcher::~DeviceWatcher()
{
    if (m_epollFd >= 0)
        ::close(m_epollFd);
    if (m_timerFd >= 0)
        ::close(m_timerFd);
}

int DeviceWatcher::fd() const
{
    if (m_epollFd >= 0)
        return m_epollFd;
    // Without the epoll set the monitor's own descriptor still helps; the
    // period (pollIntervalMs) covers the rest.
    return m_monitor ? m_monitor->fd() : -1;
}

int DeviceWatcher::pollIntervalMs() const
{
    // With the timer in the watched set, fd() alone wakes the host often
    // enough.
    if (m_epollFd >= 0 && m_timerFd >= 0)
        return -1;
    return static_cast<int>(m_options.pollPeriodMs);
}

bool DeviceWatcher::startTimer()
{
    m_timerFd = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_timerFd < 0)
        return false;
    itimerspec period{};
    period.it_interval.tv_sec = m_options.pollPeriodMs / 1000;
    period.it_interval.tv_nsec = static_cast<long>(m_options.pollPeriodMs % 1000) * 1'000'000L;
    period.it_value = period.it_interval;
    if (::timerfd_settime(m_timerFd, 0, &period, nullptr) != 0) {
        const int error = errno;
        ::close(m_timerFd);
        m_timerFd = -1;
        errno = error;
        return false;
    }
    return true;
}

void DeviceWatcher::rescan()
{
    m_lastScanMs = m_clock.nowMs();
    const auto present = m_enumerate ? m_enumerate() : std::nullopt;
    if (!present)
        return;  // nothing known: keep the last state
    const auto changes = m_tracker.update(*present);
    m_pending.insert(m_pending.end(), changes.begin(), changes.end());
}

std::vector<DeviceChange> DeviceWatcher::processPendingEvents()
{
    bool due = false;
    if (m_monitor && m_monitor->drain() > 0)
        due = true;
    if (m_timerFd >= 0) {
        uint64_t expirations = 0;
        while (::read(m_timerFd, &expirations, sizeof expirations) == static_cast<ssize_t>(sizeof expirations))
            due = due || expirations > 0;
    }
    // Unsigned difference: right across the wrap of the 32-bit clock.
    if (m_clock.nowMs() - m_lastScanMs >= m_options.pollPeriodMs)
        due = true;
    if (due)
        rescan();
    std::vector<DeviceChange> changes;
    changes.swap(m_pending);
    return changes;
}

} // namespace vexlon::phone::lnx
