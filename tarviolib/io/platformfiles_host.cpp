#include "tarviolib/io/detail/platformfiles.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace Tarvio::Io::Detail {

namespace {

NarrowString systemName(const Path& path) { return path.toString().toUtf8(); }

} // namespace

PathKind pathKind(const Path& path) {
    struct stat status;
    if (stat(systemName(path).text(), &status) != 0) {
        return errno == ENOENT || errno == ENOTDIR ? PathKind::Missing : PathKind::Directory;
    }
    return S_ISDIR(status.st_mode) ? PathKind::Directory : PathKind::File;
}

bool createDirectory(const Path& path) { return mkdir(systemName(path).text(), 0777) == 0; }

int64_t fileSize(const Path& path) {
    struct stat status;
    if (stat(systemName(path).text(), &status) != 0) {
        return -1;
    }
    return static_cast<int64_t>(status.st_size);
}

MoveResult moveFile(const Path& source, const Path& target) {
    // An open file never stands in a rename's way here.
    return std::rename(systemName(source).text(), systemName(target).text()) == 0 ? MoveResult::Moved
                                                                                   : MoveResult::Failed;
}

bool removeFile(const Path& path) { return unlink(systemName(path).text()) == 0; }

bool removeDirectory(const Path& path) { return rmdir(systemName(path).text()) == 0; }

std::FILE* openFile(const Path& path, FileOpenMode mode) {
    const char* fileMode = mode == FileOpenMode::Read ? "rb" : mode == FileOpenMode::Append ? "ab" : "wb";
    std::FILE* file = std::fopen(systemName(path).text(), fileMode);
    // Folders open here but not on Windows.
    struct stat status;
    if (file != nullptr && (fstat(fileno(file), &status) != 0 || S_ISDIR(status.st_mode))) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

bool seekFile(std::FILE* file, int64_t offset, int whence) { return fseeko(file, offset, whence) == 0; }

int64_t tellFile(std::FILE* file) { return ftello(file); }

} // namespace Tarvio::Io::Detail
