#pragma once

#include "tarviolib/core/string.h"

#include <cstdint>

namespace Tarvio {

// RFC 4648: the standard alphabet, "=" padding, no line breaks.
String base64Encode(const uint8_t* data, int32_t count);

} // namespace Tarvio
