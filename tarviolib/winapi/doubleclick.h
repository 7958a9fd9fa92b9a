#pragma once

#include <cstdint>

namespace Tarvio::WinApi {

// A press of a mouse button: its message time (milliseconds, wrapping) and where it was made on the
// screen.
struct MousePress {
    uint32_t time = 0;
    int32_t x = 0;
    int32_t y = 0;
};

// Whether the later press makes a double-click with the earlier one by the system's measures: less than
// its double-click time later, and less than half its double-click rectangle away on either axis. The
// system itself reports a double-click only when both presses land on the same window.
bool makesDoubleClick(const MousePress& first, const MousePress& second);

} // namespace Tarvio::WinApi
