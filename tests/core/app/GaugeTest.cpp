// The usage gauge's numbers.
#include "core/app/Gauge.h"

#include <array>
#include <gtest/gtest.h>

using namespace vexlon;

TEST(Gauge, ValuesRoundHalvesToEvenAndCapTheOverload)
{
    // size, free, rows -> code, free, used, using %, overloading %. Halves
    // go to the even neighbour: 51 of 200 (25.5 %) gives 26, 49 (24.5 %) 24.
    const std::array<int64_t, 8> cases[] = {{5100, 5081, 0, 19, 5081, 19, 0, 0},
                                            {5100, -100, 10, 69, 0, 5200, 100, 2},
                                            {5100, -6000, 10, 69, 0, 11100, 100, 100},
                                            {200, 149, 1, 24, 149, 51, 26, 0},
                                            {200, 151, 1, 24, 151, 49, 24, 0},
                                            {0, 0, 0, 19, 0, 0, 0, 0}};
    for (const auto& c : cases) {
        const GaugeValues v = computeGauge(int32_t(c[0]), int32_t(c[1]), int(c[2]));
        EXPECT_EQ((std::array<int64_t, 8>{c[0], c[1], c[2], v.code, v.free, v.used, v.usingPercent, v.overloading}), c);
    }
}
