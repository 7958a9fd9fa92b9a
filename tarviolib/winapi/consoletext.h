#pragma once

#include "tarviolib/core/string.h"

#include <cstdio>

namespace Tarvio::WinApi {

// Writes text to a standard stream so that every character arrives: a console receives the UTF-16
// units, a file or pipe UTF-8 bytes. The runtime's wide streams would fail on the first character
// outside the "C" locale and drop everything after it.
void writeConsoleText(std::FILE* stream, const String& text);

} // namespace Tarvio::WinApi
