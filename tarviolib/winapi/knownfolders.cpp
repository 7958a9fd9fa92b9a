#include "tarviolib/winapi/knownfolders.h"

#include "tarviolib/core/buffer.h"
#include "tarviolib/winapi/environment.h"
#include "tarviolib/winapi/scopedhandle.h"
#include "tarviolib/winapi/testsystem.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

namespace Tarvio::Io {

namespace {

// The text as a full path; an empty or missing text fails with failure.
Result<Path> absoluteDirectory(const Optional<String>& text, const char* failure) {
    if (!text || text->isEmpty()) {
        return Result<Path>::fromError(failure);
    }
    return Path(*text).absolute();
}

Result<Path> productSubdirectory(const wchar_t* name) {
    Result<Path> programFiles = programFiles64Directory();
    if (!programFiles.ok()) {
        return programFiles;
    }
    return programFiles.value() / L"Tarvio" / name;
}

// GetTempPathW's text, or nothing when it gives none.
Optional<String> systemTemporaryPath() {
#ifdef TARVIO_TEST_SEAMS
    if (WinApi::hasTestSystemTrait(L"no-temp-path")) {
        return {};
    }
#endif
    DWORD capacity = MAX_PATH + 1;
    // A text that does not fit is answered with the size it needs.
    for (;;) {
        Buffer<wchar_t> buffer(static_cast<int32_t>(capacity));
        const DWORD length = GetTempPathW(capacity, buffer.data());
        if (length == 0) {
            return {};
        }
        if (length < capacity) {
            return String(buffer.data(), static_cast<int32_t>(length));
        }
        capacity = length;
    }
}

} // namespace

Optional<Path> knownFolderPath(const GUID& folderId) {
#ifdef TARVIO_TEST_SEAMS
    if (WinApi::hasTestSystemTrait(L"no-known-folders")) {
        return {};
    }
#endif
    WinApi::CoTaskMemory<wchar_t> text;
    const HRESULT result = SHGetKnownFolderPath(folderId, 0, nullptr, text.receive());
    Optional<Path> path;
    if (SUCCEEDED(result) && text) {
        path = Path(String(text.get()) + L"/");
    }
    return path;
}

Result<Path> applicationDataDirectory(bool perUser) {
    Optional<Path> folder = knownFolderPath(perUser ? FOLDERID_LocalAppData : FOLDERID_ProgramData);
    Optional<String> text;
    if (folder) {
        text = folder->text();
    } else {
        text = WinApi::environmentVariable(perUser ? L"LOCALAPPDATA" : L"ProgramData");
    }
    return absoluteDirectory(text, "Failed to retrieve path to application data directory.");
}

Result<Path> productDataDirectory() {
    const Result<Path> data = applicationDataDirectory(true);
    if (!data.ok()) {
        return Result<Path>::fromError("Failed to retrieve path to Tarvio application data directory.");
    }
    return data.value() / L"TarvioRenderer";
}

Result<Path> desktopDirectory() {
    Optional<Path> desktop = knownFolderPath(FOLDERID_Desktop);
    if (!desktop) {
        return Result<Path>::fromError("Failed to retrieve path to the desktop directory.");
    }
    return std::move(*desktop);
}

Result<Path> programFiles64Directory() {
    const Optional<String> text = WinApi::environmentVariable(L"ProgramW6432");
    if (!text || text->isEmpty()) {
        return Result<Path>::fromError("Failed to retrieve path to 64-bit program files directory.");
    }
    return Path(*text);
}

Result<Path> iesDirectory() {
    return productSubdirectory(L"ies");
}

Result<Path> lutDirectory() {
    return productSubdirectory(L"lut");
}

Result<Path> materialsDirectory() {
    return productSubdirectory(L"materials");
}

Result<Path> temporaryDirectory() {
    Optional<String> text = systemTemporaryPath();
    if (!text) {
        text = WinApi::environmentVariable(L"TEMP");
    }
    if (!text) {
        text = WinApi::environmentVariable(L"TMP");
    }
    return absoluteDirectory(text, "Failed to retrieve path to temporary directory.");
}

Result<Path> createRandomNamedFile(const Path& folder) {
    const String native = folder.toNative();
    wchar_t name[MAX_PATH] = {};
    if (GetTempFileNameW(native.text(), L"", 0, name) == 0) {
        return Result<Path>::fromError(L"Failed to create random named file in " + native);
    }
    return Path(String(name));
}

} // namespace Tarvio::Io
