#pragma once

#include <cstdint>

namespace Tarvio {
namespace Detail {

struct DebugClockTime {
    int32_t hours;
    int32_t minutes;
    int32_t seconds;
};

// The platform half of the debug output.
DebugClockTime currentDebugClockTime();
void writeDebugChannel(const wchar_t* line);

} // namespace Detail
} // namespace Tarvio
