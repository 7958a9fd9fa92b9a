#pragma once

#include "tarviolib/core/function.h"
#include "tarviolib/core/object.h"
#include "tarviolib/io/path.h"
#include "tarviolib/io/stream.h"

#include <cstdint>
#include <cstdio>

namespace Tarvio {

// Bits of a file open.
enum class FileOpenMode : uint32_t { Read = 1, Write = 2, Append = 4 };

// Only bit 0 counts: set appends, clear replaces the file.
enum class FileWriteMode : uint32_t { Append = 1, Overwrite = 2 };

namespace Io {

// A file of the runtime library's buffered I/O, open from construction until close() or
// destruction. Errors say "Cannot open/read/write file '<path>'".
class FileStreamBase : public Noncopyable {
public:
    // The file is closed in any case. Bytes still buffered that cannot be written throw the access
    // error, a failing close "Failed to close the file: <native path>"; later operations fail.
    void close();
    const Path& fileName() const { return mFileName; }

protected:
    FileStreamBase(const Path& path, FileOpenMode mode);
    // A close failure here can only be logged: see close().
    ~FileStreamBase();

    // The open file; throws once the stream has been closed.
    std::FILE* file() const;
    int64_t fileSize() const { return mFileSize; }
    int64_t tell() const;
    void seek(int64_t offset, SeekOrigin origin);
    [[noreturn]] void throwAccessError() const;

private:
    // Called before every fclose: Windows' runtime reports a failed write of the last buffer from
    // fclose, Wine's does not, and a file whose bytes were lost must not pass for written.
    bool flushWrites(std::FILE* file) const;

    Path mFileName;
    std::FILE* mFile = nullptr;
    int64_t mFileSize = 0;
    bool mWriting = false;
};

class FileInputStream : public FileStreamBase, public SeekableBinaryInputStream {
public:
    explicit FileInputStream(const Path& path);

    int64_t tellg() const override;
    // Positions beyond the size measured at the open are refused.
    void seekg(int64_t offset, SeekOrigin origin) override;

protected:
    int64_t readImpl(void* data, int64_t size) override;
    bool isEofImpl() const override;
};

class FileOutputStream : public FileStreamBase, public SeekableBinaryOutputStream {
public:
    // Append: every write lands at the end of the file. Overwrite: the file is replaced.
    FileOutputStream(const Path& path, FileWriteMode mode);

    void flush() override;
    int64_t tellp() const override;
    void seekp(int64_t offset, SeekOrigin origin) override;

protected:
    void writeImpl(const void* data, int64_t size) override;
};

// copyStream into the file at target, written beside it and then moved over it (ReplacementFile),
// closed before returning. On any failure the target is left as it was and the exception passes
// on.
int64_t copyStreamToFile(BinaryInputStream& in, const Path& target, const Function<void(int64_t)>& progress);

// Replaces target with the block; an empty block leaves an empty file.
void writeFile(const Path& target, const void* data, int32_t size);

} // namespace Io
} // namespace Tarvio
