#pragma once

#include "tarviolib/core/array.h"
#include "tarviolib/core/sharedptr.h"
#include "tarviolib/io/virtualfilesystem.h"

namespace Tarvio::Io {

// Members asked in the order added: the earliest member holding a file opens, measures and
// identifies it; listings concatenate every member's answer, duplicates included.
class CombinedVfs : public VirtualFileSystem {
public:
    void add(SharedPtr<VirtualFileSystem> member);

    // open and fileId try every member, swallowing their exceptions; when none answers they throw
    // "Cannot open/read/write file '<path>'".
    UniquePtr<SeekableBinaryInputStream> open(const Path& file) override;
    int64_t fileId(const Path& file) override;
    // The other three let a member's exception through.
    bool exists(const Path& file) override;
    int64_t fileSize(const Path& file) override;
    Array<String> listFiles(const Path& directory, bool recursive, const String* extensions,
                            int32_t count) override;

private:
    Array<SharedPtr<VirtualFileSystem>> mMembers;
};

} // namespace Tarvio::Io
