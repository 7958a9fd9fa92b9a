#pragma once

#include "tarviodeploy/shared/database.h"
#include "tarviodeploy/shared/installerlogger.h"
#include "tarviodeploy/shared/ui/deploymentuserinterface.h"
#include "tarviolib/core/uniqueptr.h"
#include "tarviolib/io/path.h"

namespace Tarvio {

// The name of the copy a database that failed to load leaves beside itself.
constexpr const wchar_t* CorruptedDatabaseFileName = L"TarvioRemove.corrupted.xml";

// The database in the file at path, or an empty one when there is no such file. A file that fails
// to load is first copied to CorruptedDatabaseFileName in the same folder, then reported through
// ui; what could be read is used all the same. A file that cannot be opened or read throws.
UniquePtr<Database> loadInstallDatabase(const Io::Path& path, DeploymentUserInterface& ui);

// Replaces the file at path with the database, as the step "Writing installation database".
// Throws when the file cannot be written.
void writeInstallDatabase(InstallerLogger& logger, const Database& database, const Io::Path& path);

} // namespace Tarvio
