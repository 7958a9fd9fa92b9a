#pragma once

#include <cstdint>
#include <sstream>

#ifdef TARVIO_TEST_SEAMS
#include "tarviolib/core/detail/debugchannel.h"
#include "tarviolib/core/function.h"
#endif

namespace Tarvio {

// Whether debug output is on: read once, on first use, from the environment variable
// TARVIO_DEBUG_OUTPUT ("1" turns it on); constant afterwards.
bool isDebugOutputEnabled();

// Writes the stream's text as one debug line, "#TARVIO (h:m:s)  " + text, continuation lines
// indented under the text's first character. Does nothing while debug output is off.
void debugOutput(const std::wostringstream& stream);

// One debug line: text1, value1, text2 and value2, separated by blanks.
void debugLog(const char* text1, int64_t value1, const char* text2, int64_t value2);

#ifdef TARVIO_TEST_SEAMS
namespace Detail {

// Replaces the switch, the clock and the system channel until restoreDebugOutput.
void overrideDebugOutput(bool enabled, Function<DebugClockTime()> clock, Function<void(const wchar_t*)> channel);
void restoreDebugOutput();

} // namespace Detail
#endif

} // namespace Tarvio
