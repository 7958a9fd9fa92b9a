#pragma once

#include "tarviolib/core/enumnametable.h"

#include <cstdint>

namespace Tarvio {

// The wizard's pages, in the order in which they are held and numbered.
enum class ScreenId : int32_t { welcome = 0, installationType = 1, options = 2, installation = 3, summary = 4 };

inline constexpr int32_t screenCount = 5;

inline constexpr int32_t screenIndex(ScreenId id) {
    return static_cast<int32_t>(id);
}

// The page count places after id (before it when count is negative); it may lie outside the pages.
inline constexpr ScreenId screenAfter(ScreenId id, int32_t count) {
    return static_cast<ScreenId>(screenIndex(id) + count);
}

inline constexpr bool isScreen(ScreenId id) {
    return screenIndex(id) >= 0 && screenIndex(id) < screenCount;
}

extern const EnumNameTable<ScreenId, screenCount> screenIdNames;

} // namespace Tarvio
