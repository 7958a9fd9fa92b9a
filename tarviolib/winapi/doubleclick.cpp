#include "tarviolib/winapi/doubleclick.h"

#include <windows.h>

#include <cstdlib>

namespace Tarvio::WinApi {

bool makesDoubleClick(const MousePress& first, const MousePress& second) {
    // Message times wrap around after 49.7 days; their difference in unsigned arithmetic does not.
    const uint32_t elapsed = second.time - first.time;
    return elapsed < GetDoubleClickTime() && std::abs(second.x - first.x) < GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
           std::abs(second.y - first.y) < GetSystemMetrics(SM_CYDOUBLECLK) / 2;
}

} // namespace Tarvio::WinApi
