#include "tarviolib/core/systemlibrary.h"

#include <windows.h>

#include <delayimp.h>

#include <cwchar>

namespace Tarvio {

bool restrictLibrarySearchToSystemFolder() {
    // Looked up, not imported: a program that imports it does not start on a Windows 7 without it.
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    return setDefaultDllDirectories != nullptr && setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE loadSystemLibrary(const wchar_t* fileName) {
    wchar_t path[MAX_PATH];
    const UINT folderLength = GetSystemDirectoryW(path, MAX_PATH);
    const size_t nameLength = std::wcslen(fileName);
    if (folderLength == 0 || folderLength + 1 + nameLength >= MAX_PATH) {
        return nullptr;
    }
    path[folderLength] = L'\\';
    std::wmemcpy(path + folderLength + 1, fileName, nameLength + 1);
    // The library's own imports are then looked for in its folder first, the system folder.
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

namespace {

// The toolchain's delay-load helper asks before it loads a library: a module given here is used
// instead of its own LoadLibrary by name, which would search the program's folder first.
FARPROC WINAPI beforeDelayLoad(unsigned notification, PDelayLoadInfo info) {
    if (notification != dliNotePreLoadLibrary) {
        return nullptr;
    }
    // The names in the delay-load table are the system libraries' plain ASCII file names.
    wchar_t name[MAX_PATH];
    size_t length = 0;
    for (; info->szDll[length] != '\0' && length + 1 < MAX_PATH; ++length) {
        name[length] = static_cast<unsigned char>(info->szDll[length]);
    }
    name[length] = L'\0';
    return reinterpret_cast<FARPROC>(loadSystemLibrary(name));
}

} // namespace
} // namespace Tarvio

// Defined here, the helper's hook replaces the toolchain's empty one in every program that uses the
// functions above (the installer restricts its search first thing).
PfnDliHook __pfnDliNotifyHook2 = Tarvio::beforeDelayLoad;
