#pragma once

#include "tarviolib/core/optional.h"
#include "tarviolib/core/result.h"
#include "tarviolib/io/path.h"

// The platform's GUID type (KNOWNFOLDERID), without the whole platform header.
struct _GUID;

namespace Tarvio::Io {

// The known folder (FOLDERID_...) with "/" appended.
Optional<Path> knownFolderPath(const _GUID& folderId);

// The per-user local application data folder, or the all-users program data folder.
Result<Path> applicationDataDirectory(bool perUser);
// The per-user folder of the product's own data, such as the log.
Result<Path> productDataDirectory();
// With its trailing "/".
Result<Path> desktopDirectory();
Result<Path> programFiles64Directory();
Result<Path> iesDirectory();
Result<Path> lutDirectory();
Result<Path> materialsDirectory();
Result<Path> temporaryDirectory();
// A new empty file with a unique name in folder; the caller deletes it.
Result<Path> createRandomNamedFile(const Path& folder);

} // namespace Tarvio::Io
