// The clock of the running system: the steady clock, and real sleeps.
#pragma once

#include "phone/DeviceAccess.h"

namespace vexlon::phone {

class SystemClock final : public IClock {
public:
    uint32_t nowMs() override;
    void sleepMs(uint32_t ms) override;
};

} // namespace vexlon::phone
