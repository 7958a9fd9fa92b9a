#include "tarviolib/core/localdatetime.h"

#include <ctime>

namespace Tarvio {

LocalDateTime currentLocalDateTime() {
    const std::time_t now = std::time(nullptr);
    std::tm fields{};
#if defined(_WIN32)
    localtime_s(&fields, &now);
#else
    localtime_r(&now, &fields);
#endif
    LocalDateTime time;
    time.year = fields.tm_year + 1900;
    time.month = fields.tm_mon + 1;
    time.day = fields.tm_mday;
    time.hours = fields.tm_hour;
    time.minutes = fields.tm_min;
    time.seconds = fields.tm_sec;
    return time;
}

} // namespace Tarvio
