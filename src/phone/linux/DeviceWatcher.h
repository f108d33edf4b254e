// Arrival and removal of the devices of one listing, found by comparing
// enumerations.
//
// A udev monitor cannot be trusted to deliver: without udevd (containers) it
// is made, its descriptor is valid, and nothing ever arrives. So the watcher
// never waits for events alone. It enumerates
//   - at once when the monitor has had events (the quick path), and
//   - every two seconds in any case (the fallback), counted on the clock it is
//     given, or when its own timer descriptor fires,
// and compares the identities it finds with those of the previous
// enumeration: identities that have gone raise a removal, new ones an
// arrival (a removal first when both happen). An enumeration that changes
// nothing raises nothing, and a failed enumeration is not taken as "every
// device gone".
//
// fd() is one descriptor (an epoll set of the monitor and the timer) for the
// host to watch; where it cannot be made the host is asked to call at the
// polling period instead.
#pragma once

#include "phone/DeviceAccess.h"
#include "phone/linux/UdevSource.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace vexlon::phone::lnx {

inline constexpr uint32_t kPollPeriodMs = 2000;

// The identities of one enumeration; nullopt when it failed.
using Enumerator = std::function<std::optional<std::vector<uint32_t>>()>;

// The comparison on its own: feed it enumerations, it says what changed.
class PresenceTracker {
public:
    explicit PresenceTracker(std::vector<uint32_t> initial = {});
    std::vector<DeviceChange> update(const std::vector<uint32_t>& present);
    const std::set<uint32_t>& present() const { return m_present; }

private:
    std::set<uint32_t> m_present;
};

struct WatcherOptions {
    uint32_t pollPeriodMs = kPollPeriodMs;
    bool useTimerFd = true;   // off in tests: the clock alone drives polling
};

class DeviceWatcher final : public IDeviceWatcher {
public:
    // monitor may be null. The first enumeration happens here and is the
    // state that later changes are measured against.
    DeviceWatcher(Enumerator enumerate, IClock& clock, std::unique_ptr<EventSource> monitor,
                  WatcherOptions options = {}, ReportFn report = {});
    ~DeviceWatcher() override;
    DeviceWatcher(const DeviceWatcher&) = delete;
    DeviceWatcher& operator=(const DeviceWatcher&) = delete;

    int fd() const override;
    int pollIntervalMs() const override;
    std::vector<DeviceChange> processPendingEvents() override;

private:
    bool startTimer();
    void rescan();

    Enumerator m_enumerate;
    IClock& m_clock;
    std::unique_ptr<EventSource> m_monitor;
    WatcherOptions m_options;
    ReportFn m_report;
    PresenceTracker m_tracker;
    uint32_t m_lastScanMs = 0;
    int m_timerFd = -1;
    int m_epollFd = -1;
    std::vector<DeviceChange> m_pending;
};

} // namespace vexlon::phone::lnx
