#include "core/app/Gauge.h"

#include <algorithm>
#include <cmath>

namespace vexlon {

GaugeValues computeGauge(int32_t size, int32_t freeBytes, int rowCount)
{
    const auto nearest = [](double x) { return static_cast<int64_t>(std::nearbyint(x)); };
    GaugeValues v;
    const int64_t s = size;
    v.code = 5 * int64_t(rowCount) + 19;
    v.free = freeBytes < 0 ? 0 : freeBytes;
    v.used = s - freeBytes;
    v.size = s;
    if (s != 0) {
        v.usingPercent = nearest(double(s - v.free) / double(s) * 100.0);
        v.overloading = std::clamp<int64_t>(nearest(double(v.used - s) / double(s) * 100.0), 0, 100);
    }
    return v;
}

} // namespace vexlon
