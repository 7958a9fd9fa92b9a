#pragma once

#include "tarviolib/core/array.h"
#include "tarviolib/core/object.h"
#include "tarviolib/core/string.h"
#include "tarviolib/core/uniqueptr.h"
#include "tarviolib/io/path.h"
#include "tarviolib/io/stream.h"

#include <cstdint>

namespace Tarvio::Io {

// A named, read-only collection of files; each implementation decides how names match.
class VirtualFileSystem : public Polymorphic {
public:
    // An independent stream at the file's first byte; throws when the file cannot be opened.
    virtual UniquePtr<SeekableBinaryInputStream> open(const Path& file) = 0;
    virtual bool exists(const Path& file) = 0;
    // Unique within this file system only; throws for an unknown file.
    virtual int64_t fileId(const Path& file) = 0;
    // The content's size in bytes, -1 for an unknown file.
    virtual int64_t fileSize(const Path& file) = 0;
    // extensions: count texts without dots; a count of 0 lists every extension.
    virtual Array<String> listFiles(const Path& directory, bool recursive, const String* extensions,
                                    int32_t count) = 0;
};

} // namespace Tarvio::Io
