#include "tarviolib/io/filestream.h"

#include "tarviolib/core/debugoutput.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/core/stopreport.h"
#include "tarviolib/io/detail/platformfiles.h"
#include "tarviolib/io/fileaccessexception.h"
#include "tarviolib/io/filesystem.h"
#include "tarviolib/io/replacementfile.h"

#include <algorithm>
#include <sstream>

namespace Tarvio::Io {

namespace {

const char StreamModule[] = "tarviolib/io/stream";

// The runtime's counts are 32-bit: larger requests go in parts.
constexpr int64_t MaxTransfer = int64_t{1} << 30;

int originWhence(SeekOrigin origin) {
    switch (origin) {
    case SeekOrigin::Begin:
        return SEEK_SET;
    case SeekOrigin::Current:
        return SEEK_CUR;
    case SeekOrigin::End:
        return SEEK_END;
    }
    throwStop(StreamModule, 342);
}

String closeFailureMessage(const Path& path) { return "Failed to close the file: " + path.toNative(); }

} // namespace

FileStreamBase::FileStreamBase(const Path& path, FileOpenMode mode)
    : mFileName(path), mWriting(mode != FileOpenMode::Read) {
    mFile = Detail::openFile(path, mode);
    if (mFile == nullptr) {
        throwAccessError();
    }
    if (!Detail::seekFile(mFile, 0, SEEK_END) || (mFileSize = Detail::tellFile(mFile)) < 0 ||
        (mode != FileOpenMode::Append && !Detail::seekFile(mFile, 0, SEEK_SET))) {
        std::fclose(mFile);
        throwAccessError();
    }
}

FileStreamBase::~FileStreamBase() {
    if (mFile == nullptr) {
        return;
    }
    const bool flushed = flushWrites(mFile);
    if (std::fclose(mFile) != 0 || !flushed) {
        std::wostringstream message;
        message << closeFailureMessage(mFileName);
        debugOutput(message);
    }
}

void FileStreamBase::close() {
    std::FILE* closing = file();
    mFile = nullptr;
    const bool flushed = flushWrites(closing);
    const bool closed = std::fclose(closing) == 0;
    if (!flushed) {
        throwAccessError();
    }
    if (!closed) {
        throwException(closeFailureMessage(mFileName));
    }
}

bool FileStreamBase::flushWrites(std::FILE* file) const { return !mWriting || std::fflush(file) == 0; }

std::FILE* FileStreamBase::file() const {
    if (mFile == nullptr) {
        throwAccessError();
    }
    return mFile;
}

void FileStreamBase::throwAccessError() const { throw fileAccessException(mFileName); }

int64_t FileStreamBase::tell() const { return Detail::tellFile(file()); }

void FileStreamBase::seek(int64_t offset, SeekOrigin origin) {
    if (!Detail::seekFile(file(), offset, originWhence(origin))) {
        throwAccessError();
    }
}

FileInputStream::FileInputStream(const Path& path) : FileStreamBase(path, FileOpenMode::Read) {}

int64_t FileInputStream::readImpl(void* data, int64_t size) {
    std::FILE* const stream = file();
    char* destination = static_cast<char*>(data);
    int64_t total = 0;
    while (total < size) {
        const std::size_t wanted = static_cast<std::size_t>(std::min(size - total, MaxTransfer));
        const std::size_t count = std::fread(destination + total, 1, wanted, stream);
        total += static_cast<int64_t>(count);
        if (count < wanted) {
            // Without this a copy would wait forever for an end that never comes.
            if (std::ferror(stream) != 0) {
                throwAccessError();
            }
            break;
        }
    }
    return total;
}

bool FileInputStream::isEofImpl() const { return std::feof(file()) != 0; }

int64_t FileInputStream::tellg() const { return tell(); }

void FileInputStream::seekg(int64_t offset, SeekOrigin origin) {
    const int64_t target = seekTarget(offset, origin, tell(), fileSize(), StreamModule, 389);
    if (target > fileSize()) {
        debugLog("Io::FileInputStream::seekg failed: desiredPosition:", target, ", mFileSize: ", fileSize());
        throwAccessError();
    }
    seek(offset, origin);
}

FileOutputStream::FileOutputStream(const Path& path, FileWriteMode mode)
    : FileStreamBase(path, (static_cast<uint32_t>(mode) & 1) != 0 ? FileOpenMode::Append : FileOpenMode::Write) {}

void FileOutputStream::writeImpl(const void* data, int64_t size) {
    std::FILE* const stream = file();
    const char* source = static_cast<const char*>(data);
    for (int64_t written = 0; written < size;) {
        const std::size_t wanted = static_cast<std::size_t>(std::min(size - written, MaxTransfer));
        if (std::fwrite(source + written, 1, wanted, stream) != wanted) {
            throwAccessError();
        }
        written += static_cast<int64_t>(wanted);
    }
}

void FileOutputStream::flush() {
    if (std::fflush(file()) != 0) {
        throwAccessError();
    }
}

int64_t FileOutputStream::tellp() const { return tell(); }

void FileOutputStream::seekp(int64_t offset, SeekOrigin origin) { seek(offset, origin); }

int64_t copyStreamToFile(BinaryInputStream& in, const Path& target, const Function<void(int64_t)>& progress) {
    ReplacementFile file(target);
    const int64_t total = copyStream(in, file.stream(), progress);
    file.commit();
    return total;
}

void writeFile(const Path& target, const void* data, int32_t size) {
    FileOutputStream out(target, FileWriteMode::Overwrite);
    out.write(data, size);
    out.close();
}

} // namespace Tarvio::Io
