#include "tarviolib/core/systemlibrary.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace Tarvio {
namespace {

std::wstring lowercase(std::wstring text) {
    CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::wstring moduleFolder(HMODULE module) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    const std::wstring file(path, length);
    return lowercase(file.substr(0, file.find_last_of(L'\\')));
}

TEST(SystemLibraryTest, ComesFromTheSystemFolderOrNotAtAll) {
    // A 32-bit process on 64-bit Windows is given the system folder's 32-bit twin.
    wchar_t folder[MAX_PATH];
    const std::wstring system = lowercase(std::wstring(folder, GetSystemDirectoryW(folder, MAX_PATH)));
    const std::wstring twin = lowercase(std::wstring(folder, GetSystemWow64DirectoryW(folder, MAX_PATH)));
    for (const wchar_t* name : {L"version.dll", L"winspool.drv", L"dbghelp.dll"}) {
        HMODULE module = loadSystemLibrary(name);
        ASSERT_NE(module, nullptr) << GetLastError();
        const std::wstring found = moduleFolder(module);
        EXPECT_TRUE(found == system || found == twin) << found;
        FreeLibrary(module);
    }
    EXPECT_EQ(loadSystemLibrary(L"no-such-library.dll"), nullptr);
    // A name that does not fit a path is refused, not cut short into another library's name.
    EXPECT_EQ(loadSystemLibrary(std::wstring(MAX_PATH, L'a').c_str()), nullptr);
}

// Every Windows that has the call (7 with its loader update and later), and Wine.
TEST(SystemLibraryTest, SearchCanBeRestrictedToTheSystemFolder) {
    EXPECT_TRUE(restrictLibrarySearchToSystemFolder());
}

} // namespace
} // namespace Tarvio
