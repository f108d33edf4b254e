#include "phone/SystemClock.h"

#include <chrono>
#include <thread>

namespace vexlon::phone {

uint32_t SystemClock::nowMs()
{
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
    return static_cast<uint32_t>(ms);
}

void SystemClock::sleepMs(uint32_t ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace vexlon::phone
