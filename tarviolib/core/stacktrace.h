#pragma once

#include "tarviolib/core/array.h"
#include "tarviolib/core/string.h"

#include <cstdint>

namespace Tarvio {

// The calling thread's stack, up to seven frames below this function, one line each:
// " <number> <symbol>  0x<address>\n", numbered down to 0. Empty when nothing could be captured.
String captureStackTrace();

namespace Detail {

struct StackFrameSymbol {
    String name; // empty when the symbol is unknown
    uint64_t address = 0;
};

// The lines for frames, innermost first.
String formatStackTrace(const Array<StackFrameSymbol>& frames);

} // namespace Detail

} // namespace Tarvio
