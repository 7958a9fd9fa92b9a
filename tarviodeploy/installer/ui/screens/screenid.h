#pragma once

#include "tarviolib/core/enumnametable.h"

#include <cstdint>

namespace Tarvio {

// The wizard's pages, in the order in which they are held and numbered.
enum class ScreenId : int32_t { welcome = 0, installationType = 1, options = 2, installation = 3, summary = 4 };

extern const EnumNameTable<ScreenId, 5> screenIdNames;

} // namespace Tarvio
