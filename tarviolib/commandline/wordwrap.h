#pragma once

#include "tarviolib/core/string.h"

namespace Tarvio::CommandLine {

// The indent of the help listing: four blanks.
const String& helpIndent();

// Greedy wrap at width columns after linePrefix; a word longer than width stands alone on its line.
// A newline directly after a word in the text ends the line there.
String wordWrap(const String& text, int32_t width, const String& linePrefix);

} // namespace Tarvio::CommandLine
