#pragma once

#include "tarviolib/core/optional.h"
#include "tarviolib/core/string.h"

namespace Tarvio::WinApi {

// The variable's text; an existing empty variable gives an empty String, a missing one nothing.
Optional<String> environmentVariable(const String& name);

} // namespace Tarvio::WinApi
