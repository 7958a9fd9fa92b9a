#pragma once

#include "tarviolib/core/object.h"
#include "tarviolib/core/uniqueptr.h"
#include "tarviolib/io/filestream.h"
#include "tarviolib/io/path.h"

namespace Tarvio::Io {

// A file written beside its target, under the target's name with ".partial" added, and moved over
// the target when committed: a failed write never leaves a truncated target, and the target keeps
// what it held. The temporary file is made by the first use of the stream and removed when the
// object dies uncommitted.
class ReplacementFile : public Noncopyable {
public:
    explicit ReplacementFile(const Path& target);
    ~ReplacementFile();

    FileOutputStream& stream();

    // Closes the temporary file and moves it over the target (an empty file when nothing was
    // written). Throws the stream errors, or fileAccessException of the target when the move fails.
    void commit();

    const Path& target() const { return mTarget; }

private:
    Path mTarget;
    Path mTemporary;
    UniquePtr<FileOutputStream> mOut;
};

} // namespace Tarvio::Io
