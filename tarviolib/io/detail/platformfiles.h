#pragma once

#include "tarviolib/io/filestream.h"
#include "tarviolib/io/path.h"

#include <cstdint>
#include <cstdio>

// The few system calls under the file streams and file-system functions; one source per platform.
namespace Tarvio::Io::Detail {

enum class PathKind { Missing, File, Directory };

// A path whose status cannot be read for a reason other than its absence is a Directory.
PathKind pathKind(const Path& path);
// One folder whose parent exists.
bool createDirectory(const Path& path);
int64_t fileSize(const Path& path);
enum class MoveResult { Moved, Busy, Failed };
// Replaces an existing target. Busy: the source or the target is open elsewhere without the sharing
// that a rename needs.
MoveResult moveFile(const Path& source, const Path& target);
bool removeFile(const Path& path);
bool removeDirectory(const Path& path);

// A buffered binary file, or null.
std::FILE* openFile(const Path& path, FileOpenMode mode);
// whence: SEEK_SET, SEEK_CUR or SEEK_END.
bool seekFile(std::FILE* file, int64_t offset, int whence);
int64_t tellFile(std::FILE* file);

} // namespace Tarvio::Io::Detail
