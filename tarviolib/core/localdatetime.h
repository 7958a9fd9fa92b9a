#pragma once

#include "tarviolib/core/object.h"

#include <cstdint>

namespace Tarvio {

struct LocalDateTime {
    int32_t year = 0;
    int32_t month = 0; // 1 to 12
    int32_t day = 0;
    int32_t hours = 0;
    int32_t minutes = 0;
    int32_t seconds = 0;
};

LocalDateTime currentLocalDateTime();

} // namespace Tarvio
