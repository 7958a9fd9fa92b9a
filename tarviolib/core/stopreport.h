#pragma once

#include <cstdint>

namespace Tarvio {

// Thrown where the code meets a case that cannot happen: an Exception whose message is
// "STOP@" + modulePath + "(" + line + ")", for example "STOP@tarviolib/io/stream(342)".
[[noreturn]] void throwStop(const char* modulePath, int32_t line);

} // namespace Tarvio
