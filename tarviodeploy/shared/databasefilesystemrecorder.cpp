#include "tarviodeploy/shared/databasefilesystemrecorder.h"

namespace Tarvio {

void DatabaseFileSystemRecorder::onDirectoryCreated(const Io::Path& directory) {
    if (mEntry) {
        mEntry->addDirectory(directory);
    }
}

} // namespace Tarvio
