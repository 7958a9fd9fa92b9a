#include "tarviolib/io/path.h"

#include "tarviolib/core/buffer.h"
#include "tarviolib/io/detail/finalpathname.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstdlib>

namespace Tarvio::Io {

namespace {

constexpr DWORD LongPathBufferSize = 32766;

// The final name of an existing file or folder: links and short names resolved, no trailing separator.
Optional<Path> finalPathName(const Path& path) {
    // Allocated first: nothing that can throw comes between opening the handle and closing it.
    Buffer<wchar_t> buffer(LongPathBufferSize);
    const WideBuffer native = path.toNativeBuffer();
    HANDLE handle = CreateFileW(native.text(), 0, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return Optional<Path>();
    }
    const DWORD length =
        GetFinalPathNameByHandleW(handle, buffer.data(), LongPathBufferSize, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    CloseHandle(handle);
    if (length <= 4 || length >= LongPathBufferSize) {
        return Optional<Path>();
    }
    return Detail::pathFromFinalName(String(buffer.data(), static_cast<int32_t>(length)));
}

} // namespace

bool Path::isAbsolute() const { return !PathIsRelativeW(toNativeBuffer().text()); }

Path Path::absolute() const {
    if (Optional<Path> final = finalPathName(*this)) {
        return std::move(*final);
    }
    Buffer<wchar_t> buffer(LongPathBufferSize);
    if (_wfullpath(buffer.data(), toNativeBuffer().text(), LongPathBufferSize) == nullptr) {
        return *this;
    }
    return Path(String(buffer.data()));
}

} // namespace Tarvio::Io
