// Stands in for the runtime redistributable's installer in the demo payload: exits 0 at once.
// When TARVIO_FAKE_REDIST_LOG names a file, appends its arguments to it, one line per run. When
// TARVIO_FAKE_REDIST_HOLD names a file too, it first appends a line with its own path and then
// waits, at most a minute, until that file exists: a test looks at the folder it runs from
// meanwhile.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>

namespace {

void holdUntil(const wchar_t* release) {
    for (int i = 0; i < 1200 && GetFileAttributesW(release) == INVALID_FILE_ATTRIBUTES; ++i) {
        Sleep(50);
    }
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const wchar_t* log = _wgetenv(L"TARVIO_FAKE_REDIST_LOG");
    if (log == nullptr) {
        return 0;
    }
    if (const wchar_t* release = _wgetenv(L"TARVIO_FAKE_REDIST_HOLD")) {
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        if (std::FILE* file = _wfopen(log, L"a")) {
            std::fwprintf(file, L"%ls\n", self);
            std::fclose(file);
        }
        holdUntil(release);
    }
    if (std::FILE* file = _wfopen(log, L"a")) {
        for (int i = 1; i < argc; ++i) {
            std::fwprintf(file, i > 1 ? L" %ls" : L"%ls", argv[i]);
        }
        std::fputwc(L'\n', file);
        std::fclose(file);
    }
    return 0;
}
