// The numbers of the usage gauge: how the phone's users dictionary is used,
// taken from the dictionary table when the gauge opens.
#pragma once

#include <cstdint>

namespace vexlon {

struct GaugeValues {
    int64_t code = 0;        // 5 per word record plus 19 bytes of header and trailer
    int64_t free = 0;        // free bytes, 0 when the words do not fit
    int64_t used = 0;        // bytes the file takes
    int64_t size = 0;        // the users dictionary size
    int64_t usingPercent = 0;
    int64_t overloading = 0; // percent by which the words exceed the size, 0..100
};

// From the size S, the free bytes F (negative when overfull) and the row
// count; percentages are rounded to the nearest integer, halves to even.
GaugeValues computeGauge(int32_t size, int32_t freeBytes, int rowCount);

} // namespace vexlon
