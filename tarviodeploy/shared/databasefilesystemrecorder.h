#pragma once

#include "tarviodeploy/shared/databasecomponententry.h"
#include "tarviolib/core/sharedptr.h"
#include "tarviolib/io/filesystem.h"

namespace Tarvio {

// Records the folders created while one file is installed into the entry of the component being
// installed; without an entry nothing is recorded.
class DatabaseFileSystemRecorder : public Io::FileSystemObserver {
public:
    explicit DatabaseFileSystemRecorder(const SharedPtr<DatabaseComponentEntry>& entry) : mEntry(entry) {}

    // The path as reported, with its trailing "/".
    void onDirectoryCreated(const Io::Path& directory) override;

private:
    SharedPtr<DatabaseComponentEntry> mEntry;
};

} // namespace Tarvio
