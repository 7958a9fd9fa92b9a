#include "tarviolib/io/replacementfile.h"

#include "tarviolib/io/fileaccessexception.h"
#include "tarviolib/io/filesystem.h"

namespace Tarvio::Io {

ReplacementFile::ReplacementFile(const Path& target) : mTarget(target), mTemporary(target.toString() + ".partial") {}

ReplacementFile::~ReplacementFile() {
    if (mOut) {
        // Closed first: an open file could not be removed.
        mOut.reset();
        removeFile(mTemporary);
    }
}

FileOutputStream& ReplacementFile::stream() {
    if (!mOut) {
        mOut = makeUnique<FileOutputStream>(mTemporary, FileWriteMode::Overwrite);
    }
    return *mOut;
}

void ReplacementFile::commit() {
    stream().close();
    mOut.reset();
    if (!moveFile(mTemporary, mTarget, true)) {
        removeFile(mTemporary);
        throw fileAccessException(mTarget);
    }
}

} // namespace Tarvio::Io
