// A child program for the process tests:
//   testchild               exits with 42 (it saw no arguments)
//   testchild exit N        exits with N
//   testchild sleep MS      sleeps, then exits with 0
//   testchild record FILE   writes its command line to FILE (UTF-16), then exits with 0
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cwchar>

int main() {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr || count < 2) {
        return 42;
    }
    if (count >= 3 && std::wcscmp(arguments[1], L"exit") == 0) {
        return static_cast<int>(std::wcstol(arguments[2], nullptr, 10));
    }
    if (count >= 3 && std::wcscmp(arguments[1], L"sleep") == 0) {
        Sleep(static_cast<DWORD>(std::wcstoul(arguments[2], nullptr, 10)));
        return 0;
    }
    if (count >= 3 && std::wcscmp(arguments[1], L"record") == 0) {
        FILE* file = _wfopen(arguments[2], L"wb");
        if (file == nullptr) {
            return 3;
        }
        const wchar_t* line = GetCommandLineW();
        std::fwrite(line, sizeof(wchar_t), std::wcslen(line), file);
        std::fclose(file);
        return 0;
    }
    return 2;
}
