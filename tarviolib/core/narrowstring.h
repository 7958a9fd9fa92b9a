#pragma once

#include "tarviolib/core/terminatedtext.h"

namespace Tarvio {

// UTF-8 or ASCII bytes with their NUL: the narrow form of a String (String::toUtf8, String::toAscii).
using NarrowString = Detail::TerminatedText<char>;

} // namespace Tarvio
