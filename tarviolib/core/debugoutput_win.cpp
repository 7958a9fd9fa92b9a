#include "tarviolib/core/detail/debugchannel.h"

#include <windows.h>

namespace Tarvio {
namespace Detail {

DebugClockTime currentDebugClockTime() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return {now.wHour, now.wMinute, now.wSecond};
}

void writeDebugChannel(const wchar_t* line) { OutputDebugStringW(line); }

} // namespace Detail
} // namespace Tarvio
