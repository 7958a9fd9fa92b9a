#pragma once

#include "tarviolib/core/string.h"

namespace Tarvio {

// What every thread that the library starts does before any work.

// Names the calling thread for an attached debugger, in ASCII ("_" for any other character).
// Without a debugger nothing happens.
void setCurrentThreadName(const String& name);

// Sets flush-to-zero and denormals-are-zero in the calling thread's SSE control register.
void enableFlushToZero();

} // namespace Tarvio
