#pragma once

#include "tarviolib/core/terminatedtext.h"

namespace Tarvio {

// The units of a String with their NUL, for calls that keep or fill a wide buffer (String::toWideBuffer).
using WideBuffer = Detail::TerminatedText<wchar_t>;

} // namespace Tarvio
