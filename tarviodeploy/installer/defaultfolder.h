#pragma once

#include "tarviolib/core/result.h"
#include "tarviolib/io/path.h"

namespace Tarvio {

// A component's default folder from a folder query. Empty when the system gives none: the
// component then has no folder, and the install flow refuses it with an error instead of writing
// somewhere unintended.
Io::Path defaultFolder(const Result<Io::Path>& folder);

// The side programs' shared default folder: the product folder under the 64-bit program files.
Io::Path sideProgramsFolder();

} // namespace Tarvio
