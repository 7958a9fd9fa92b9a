#include "tarviolib/core/detail/debugchannel.h"

#include "tarviolib/core/string.h"

#include <ctime>
#include <iostream>

namespace Tarvio {
namespace Detail {

DebugClockTime currentDebugClockTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_hour, local.tm_min, local.tm_sec};
}

// The host has no debugger channel: the standard error stream stands in for it.
void writeDebugChannel(const wchar_t* line) { std::cerr << String(line) << std::flush; }

} // namespace Detail
} // namespace Tarvio
