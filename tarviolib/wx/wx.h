#pragma once

#include <cstdint>

namespace Tarvio::Wx {

// The toolkit's half of the library's start-up and shutdown; called only by initLibrary and
// deinitLibrary. mode 0 or 1 runs the application object's initialisation, 2 does not; any other
// value throws the STOP exception before the toolkit is touched. Throws Exception when the
// toolkit cannot be started, leaving nothing of it behind. Answers whether the idle timer started.
bool initialize(int32_t mode);
void deinitialize();

} // namespace Tarvio::Wx
