#pragma once

#include "tarviolib/core/function.h"
#include "tarviolib/core/string.h"

namespace Tarvio {

// How a library thread reports the failure of a task that nobody waits for (the standby
// thread's). Until a reporter is set, the message goes to the debug output; the library's
// start-up sets the error box (the user interface lies above this layer).
void setThreadFailureReporter(const Function<void(const String& message)>& reporter);
void reportThreadFailure(const String& message);

} // namespace Tarvio
