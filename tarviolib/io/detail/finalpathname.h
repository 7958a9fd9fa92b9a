#pragma once

#include "tarviolib/core/string.h"
#include "tarviolib/io/path.h"

namespace Tarvio::Io::Detail {

// The path named by a final-path query's answer: \\?\C:\x becomes C:/x and \\?\UNC\server\share
// becomes //server/share (dropping only \\?\ would leave a relative path).
Path pathFromFinalName(const String& answer);

} // namespace Tarvio::Io::Detail
