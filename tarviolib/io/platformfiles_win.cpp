#include "tarviolib/io/detail/platformfiles.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <stdio.h>

namespace Tarvio::Io::Detail {

namespace {

// The attribute bits CreateFileW takes. The failure answer INVALID_FILE_ATTRIBUTES has every bit
// set: passed on as flags it would ask, among others, for FILE_FLAG_DELETE_ON_CLOSE.
constexpr DWORD CreatableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                      FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_TEMPORARY |
                                      FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_ENCRYPTED;

// Keeps an existing hidden or system file replaceable.
DWORD creationAttributes(const wchar_t* native) {
    const DWORD attributes = GetFileAttributesW(native);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & CreatableAttributes) == 0) {
        return FILE_ATTRIBUTE_NORMAL;
    }
    return attributes & CreatableAttributes;
}

} // namespace

PathKind pathKind(const Path& path) {
    const DWORD attributes = GetFileAttributesW(path.toNativeBuffer().text());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            return PathKind::Missing;
        }
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::Directory : PathKind::File;
}

bool createDirectory(const Path& path) { return CreateDirectoryW(path.toNativeBuffer().text(), nullptr) != 0; }

int64_t fileSize(const Path& path) {
    HANDLE handle = CreateFileW(path.toNativeBuffer().text(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return -1;
    }
    LARGE_INTEGER size;
    const BOOL ok = GetFileSizeEx(handle, &size);
    CloseHandle(handle);
    return ok ? size.QuadPart : -1;
}

MoveResult moveFile(const Path& source, const Path& target) {
    if (MoveFileExW(source.toNativeBuffer().text(), target.toNativeBuffer().text(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH)) {
        return MoveResult::Moved;
    }
    // A target held open without delete sharing gives the first, such a source the second.
    const DWORD error = GetLastError();
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ? MoveResult::Busy : MoveResult::Failed;
}

bool removeFile(const Path& path) { return _wunlink(path.toNativeBuffer().text()) == 0; }

bool removeDirectory(const Path& path) { return _wrmdir(path.toNativeBuffer().text()) == 0; }

std::FILE* openFile(const Path& path, FileOpenMode mode) {
    const WideBuffer native = path.toNativeBuffer();
    const bool reading = mode == FileOpenMode::Read;
    const DWORD access = reading ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    const DWORD sharing = reading ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ;
    const DWORD creation = reading ? OPEN_EXISTING : mode == FileOpenMode::Write ? CREATE_ALWAYS : OPEN_ALWAYS;
    HANDLE handle =
        CreateFileW(native.text(), access, sharing, nullptr, creation, creationAttributes(native.text()), nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    const int descriptorFlags = _O_BINARY | (mode == FileOpenMode::Append ? _O_APPEND : 0);
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), descriptorFlags);
    if (descriptor == -1) {
        CloseHandle(handle);
        return nullptr;
    }
    const wchar_t* fileMode = reading ? L"rb" : mode == FileOpenMode::Append ? L"ab" : L"wb";
    std::FILE* file = _wfdopen(descriptor, fileMode);
    if (file == nullptr) {
        _close(descriptor);
    }
    return file;
}

bool seekFile(std::FILE* file, int64_t offset, int whence) {
    if (_fseeki64(file, offset, whence) != 0) {
        return false;
    }
    // The 32-bit runtime's _fseeki64 leaves the end flag set, unlike fseek.
    clearerr(file);
    return true;
}

int64_t tellFile(std::FILE* file) { return _ftelli64(file); }

} // namespace Tarvio::Io::Detail
