#pragma once

#include "tarviolib/core/exception.h"
#include "tarviolib/io/path.h"

namespace Tarvio {

// "Cannot open/read/write file '<path with forward slashes>'".
Exception fileAccessException(const Io::Path& path);

} // namespace Tarvio
