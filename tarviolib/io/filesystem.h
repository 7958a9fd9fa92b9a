#pragma once

#include "tarviolib/core/object.h"
#include "tarviolib/core/weakptr.h"
#include "tarviolib/io/path.h"

#include <cstdint>

namespace Tarvio::Io {

// Told about every folder createDirectories makes.
class FileSystemObserver : public Polymorphic {
public:
    // directory: the path as the caller wrote it, up to the new folder, ending with "/".
    virtual void onDirectoryCreated(const Path& directory) = 0;
};

// A path whose attributes cannot be read for a reason other than its absence counts as a folder.
bool isDirectory(const Path& path);
bool isFile(const Path& path);
bool isMissingOrEmptyFile(const Path& path);
// -1 when the size cannot be had; the file may be open elsewhere.
int64_t fileSize(const Path& path);

// False when the target is a file and overwrite is false; throws the stream errors when the
// source cannot be read or the target written. Copying a file onto itself answers false.
bool copyFile(const Path& source, const Path& target, bool overwrite);
// A move that another program's open handle blocks is tried again for about two seconds before it
// answers false.
bool moveFile(const Path& source, const Path& target, bool overwrite);
bool removeFile(const Path& path);
// The folder must be empty.
bool removeDirectory(const Path& path);
// Creates the folder and its missing parents, reporting each new one, outermost first, to the
// observers. On failure the folders made so far stay.
bool createDirectories(const Path& path);

// The list holds weak references: an observer leaves it by dying. Any thread may register and
// create folders; an observer is told on the thread that created the folder.
void addFileSystemObserver(WeakPtr<FileSystemObserver> observer);

} // namespace Tarvio::Io
