#pragma once

#include "tarviodeploy/shared/deploymentprerequisites.h"
#include "tarviolib/core/array.h"
#include "tarviolib/core/string.h"

namespace Tarvio {

// Whether a running process has this executable name, compared without regard to letter case.
// No process list from the system means nothing runs.
bool isProcessRunning(const String& executableName);

// A component's answer when the programs it replaces may be running: text under
// RunningApplication when one of programs runs (tested in order, up to the first that does),
// else nothing.
PrerequisiteIssues runningApplicationPrerequisites(const Array<String>& programs, const String& text);

} // namespace Tarvio
