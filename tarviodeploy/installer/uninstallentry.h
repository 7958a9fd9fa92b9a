#pragma once

#include "tarviolib/core/optional.h"
#include "tarviolib/core/string.h"
#include "tarviolib/io/path.h"

#include <cstdint>

namespace Tarvio {

// The product's record in the Windows list of installed programs.
struct UninstallEntry : public Object {
    String publisher;
    String displayName;
    Optional<String> displayVersion;
    Io::Path displayIcon;
    Io::Path installLocation;
    // Native form.
    String uninstallerPath;
    uint32_t estimatedSize = 0;
    bool noModify = false;
    bool noRepair = false;
    bool noRemove = false;
};

// Replaces the Uninstall key named id with exactly the entry's values. Failures are silent.
void writeUninstallEntry(const UninstallEntry& entry, const String& id);

} // namespace Tarvio
