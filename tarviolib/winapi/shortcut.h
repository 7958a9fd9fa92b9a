#pragma once

#include "tarviolib/core/result.h"
#include "tarviolib/core/string.h"
#include "tarviolib/io/path.h"

namespace Tarvio::WinApi {

// Saves a shell link (".lnk" appended to linkBase) to the program target with the description and
// nothing else set. Answers the link file's path, or "Failed to create a link". COM is initialised
// on the calling thread for the duration of the call only.
Result<Io::Path> createShortcut(const Io::Path& target, const Io::Path& linkBase, const String& description);

} // namespace Tarvio::WinApi
