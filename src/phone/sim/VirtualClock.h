// The clock of the virtual bus: time passes only when someone waits or a
// request runs, so nothing in a test sleeps for real.
#pragma once

#include "phone/DeviceAccess.h"

#include <cstdint>

namespace vexlon::phone::sim {

class VirtualClock final : public IClock {
public:
    explicit VirtualClock(uint32_t start = 0) : now_(start) {}
    uint32_t nowMs() override { return now_; }
    void sleepMs(uint32_t ms) override
    {
        now_ += ms;
        slept_ += ms;
    }
    void advance(uint32_t ms) { now_ += ms; }
    void set(uint32_t now) { now_ = now; }
    uint64_t totalSleptMs() const { return slept_; }

private:
    uint32_t now_;
    uint64_t slept_ = 0;
};

} // namespace vexlon::phone::sim
