#pragma once

#include "tarviolib/core/string.h"

#include <cstdint>

namespace Tarvio::WinApi {

// The system's text for a system or WinINet error code, trimmed; "Error code " and the number in
// decimal when there is none.
String errorMessage(uint32_t code);
String lastErrorMessage();

} // namespace Tarvio::WinApi
