// Stands in for the runtime redistributable's installer in the demo payload: exits 0 at once.
// When TARVIO_FAKE_REDIST_LOG names a file, appends its arguments to it, one line per run.

#include <cstdio>
#include <cstdlib>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (const wchar_t* log = _wgetenv(L"TARVIO_FAKE_REDIST_LOG")) {
        if (std::FILE* file = _wfopen(log, L"a")) {
            for (int i = 1; i < argc; ++i) {
                std::fwprintf(file, i > 1 ? L" %ls" : L"%ls", argv[i]);
            }
            std::fputwc(L'\n', file);
            std::fclose(file);
        }
    }
    return 0;
}
