#include "tarviolib/io/combinedvfs.h"

#include "tarviolib/core/outofmemory.h"
#include "tarviolib/io/fileaccessexception.h"

#include <utility>

namespace Tarvio::Io {

namespace {

// The first member's answer that comes without an exception; a member out of memory is not one
// that lacks the file.
template <typename Ask>
auto firstAnswer(Array<SharedPtr<VirtualFileSystem>>& members, const Path& file, Ask ask) {
    for (SharedPtr<VirtualFileSystem>& member : members) {
        try {
            return ask(*member);
        } catch (...) {
            rethrowOutOfMemory();
        }
    }
    throw fileAccessException(file);
}

} // namespace

void CombinedVfs::add(SharedPtr<VirtualFileSystem> member) { mMembers.append(std::move(member)); }

UniquePtr<SeekableBinaryInputStream> CombinedVfs::open(const Path& file) {
    return firstAnswer(mMembers, file, [&file](VirtualFileSystem& member) { return member.open(file); });
}

int64_t CombinedVfs::fileId(const Path& file) {
    return firstAnswer(mMembers, file, [&file](VirtualFileSystem& member) { return member.fileId(file); });
}

bool CombinedVfs::exists(const Path& file) {
    for (SharedPtr<VirtualFileSystem>& member : mMembers) {
        if (member->exists(file)) {
            return true;
        }
    }
    return false;
}

int64_t CombinedVfs::fileSize(const Path& file) {
    for (SharedPtr<VirtualFileSystem>& member : mMembers) {
        const int64_t size = member->fileSize(file);
        if (size != -1) {
            return size;
        }
    }
    return -1;
}

Array<String> CombinedVfs::listFiles(const Path& directory, bool recursive, const String* extensions,
                                     int32_t count) {
    Array<String> files;
    for (SharedPtr<VirtualFileSystem>& member : mMembers) {
        for (String& file : member->listFiles(directory, recursive, extensions, count)) {
            files.append(std::move(file));
        }
    }
    return files;
}

} // namespace Tarvio::Io
