#pragma once

#include "tarviolib/core/result.h"
#include "tarviolib/core/string.h"
#include "tarviolib/io/path.h"
#include "tarviolib/winapi/scopedhandle.h"

namespace Tarvio::WinApi {

// The security descriptor that createAdministratorsOnlyFolder gives its folder: full control for
// the built-in Administrators and for SYSTEM, inherited by every file and folder made inside, and
// nothing from the parent folder, so no other account may write, replace or delete there. In the
// platform's self-relative form; throws an Exception when the platform cannot build it.
LocalMemory<void> administratorsOnlyFolderDescriptor();

// The owner, group and access list of a descriptor, those it has, as SDDL text; throws an
// Exception when the platform cannot convert it.
String securityDescriptorText(const void* descriptor);

// A new folder in parent, named "Tarvio-" and a random GUID, with the descriptor above. For what an
// elevated process writes and then runs or reads back, which a program of the unelevated user
// could otherwise replace in between. Never answers a folder that existed before the call.
Result<Io::Path> createAdministratorsOnlyFolder(const Io::Path& parent);

} // namespace Tarvio::WinApi
