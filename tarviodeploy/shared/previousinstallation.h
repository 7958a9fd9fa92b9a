#pragma once

#include "tarviodeploy/shared/component.h"
#include "tarviodeploy/shared/database.h"
#include "tarviodeploy/shared/databasecomponententry.h"
#include "tarviodeploy/shared/installerlogger.h"
#include "tarviolib/core/string.h"

namespace Tarvio {

// Removes what the entry records, newest first, as the step "Removing previous installation of "
// + its name. Each item that cannot be removed is logged as an error and the removal goes on; an
// item already gone is passed over.
void removeRecordedInstallation(InstallerLogger& logger, const DatabaseComponentEntry& entry);

// With an entry for the component: its recorded installation and then the entry go. Without one:
// the component's legacy clean-up.
void removePreviousInstallation(InstallerLogger& logger, Database& database, Component& component);

// Drops productTag from the component's entry; the previous installation is removed only when no
// other product still holds it (or there is no entry).
void releaseComponentForReinstall(InstallerLogger& logger, Database& database, Component& component,
                                  const String& productTag);

} // namespace Tarvio
