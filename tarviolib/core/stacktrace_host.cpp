#include "tarviolib/core/stacktrace.h"

#include <execinfo.h>

namespace Tarvio {

// The host has no symbol service here: every frame is reported by address.
String captureStackTrace() {
    void* addresses[8];
    const int captured = backtrace(addresses, 8);
    Array<Detail::StackFrameSymbol> frames;
    for (int i = 1; i < captured; ++i) {
        Detail::StackFrameSymbol frame;
        frame.address = reinterpret_cast<uintptr_t>(addresses[i]);
        frames.append(std::move(frame));
    }
    return Detail::formatStackTrace(frames);
}

} // namespace Tarvio
