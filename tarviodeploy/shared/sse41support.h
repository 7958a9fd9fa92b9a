#pragma once

namespace Tarvio {

// Whether the processor has SSE4.1, without which only the licensing server can be installed.
bool isSse41Supported();

} // namespace Tarvio
