// Runs a windowed program from a console window, a console of this helper's own (code page 850, as
// a Western European Windows opens it).
//
//   consolehost [--shared | --stdout FILE --stderr FILE] [--window] PROGRAM [ARGS...]
//
// By default the program starts as a console's prompt starts it on Windows: without a console, so
// that it may attach to this one, and without standard handles unless they are redirected into the
// files. With --shared it starts as Wine's prompt starts it: in the console already, with the
// console's standard handles.
//
// Prints, UTF-8, on its own standard output:
//   without --window: "exit N" once the program has ended, then the console's rows up to the
//     last one with text, each without its trailing blanks;
//   with --window: "attached" or "detached" once the program shows a window, as the program is or
//     is not attached to the console; the program is then ended.
// Exit code 0; 2 for a wrong command line or a failed start; 3 when the program has not done so
// within 60 s (it is then ended).

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

namespace {

constexpr DWORD TimeLimit = 60000;

// Taken before the console, which gets the standard handles of a process started without
// redirection.
HANDLE report = nullptr;

void print(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(report, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

HANDLE createOutput(const wchar_t* path) {
    SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
    return CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, CREATE_ALWAYS, 0,
                       nullptr);
}

std::wstring commandLine(wchar_t** arguments, int count) {
    std::wstring line;
    for (int i = 0; i < count; ++i) {
        const std::wstring argument = arguments[i];
        line += (i == 0 ? L"" : L" ") +
                (argument.find(L' ') == std::wstring::npos ? argument : L"\"" + argument + L"\"");
    }
    return line;
}

std::wstring screenText() {
    const HANDLE screen = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    CONSOLE_SCREEN_BUFFER_INFO info = {};
    GetConsoleScreenBufferInfo(screen, &info);
    std::vector<std::wstring> rows;
    for (SHORT y = 0; y < info.dwSize.Y; ++y) {
        std::wstring row(static_cast<size_t>(info.dwSize.X), L' ');
        DWORD read = 0;
        ReadConsoleOutputCharacterW(screen, row.data(), info.dwSize.X, COORD{0, y}, &read);
        row.resize(read);
        row.erase(row.find_last_not_of(L' ') + 1);
        rows.push_back(row);
    }
    CloseHandle(screen);
    while (!rows.empty() && rows.back().empty()) {
        rows.pop_back();
    }
    std::wstring text;
    for (const std::wstring& row : rows) {
        text += row + L"\n";
    }
    return text;
}

struct WindowSearch {
    DWORD process;
    bool found;
};

BOOL CALLBACK findWindow(HWND window, LPARAM parameter) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search->process && IsWindowVisible(window)) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

bool showsWindow(DWORD process) {
    WindowSearch search{process, false};
    EnumWindows(findWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool isAttached(DWORD process) {
    DWORD processes[64];
    const DWORD count = GetConsoleProcessList(processes, 64);
    for (DWORD i = 0; i < count && i < 64; ++i) {
        if (processes[i] == process) {
            return true;
        }
    }
    return false;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    bool untilWindow = false;
    bool shared = false;
    int at = 1;
    for (; at < count && arguments[at][0] == L'-'; ++at) {
        const std::wstring option = arguments[at];
        if (option == L"--window") {
            untilWindow = true;
        } else if (option == L"--shared") {
            shared = true;
        } else if ((option == L"--stdout" || option == L"--stderr") && at + 1 < count) {
            (option == L"--stdout" ? startup.hStdOutput : startup.hStdError) = createOutput(arguments[++at]);
        } else {
            return 2;
        }
    }
    report = GetStdHandle(STD_OUTPUT_HANDLE);
    if (at == count || !AllocConsole()) {
        return 2;
    }
    SetConsoleOutputCP(850);
    std::wstring line = commandLine(arguments + at, count - at);
    PROCESS_INFORMATION process = {};
    if (shared) {
        startup.dwFlags = 0;
    }
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, !shared, shared ? 0 : DETACHED_PROCESS, nullptr,
                        nullptr, &startup, &process)) {
        return 2;
    }
    for (DWORD waited = 0; waited < TimeLimit; waited += 100) {
        if (untilWindow && showsWindow(process.dwProcessId)) {
            print(isAttached(process.dwProcessId) ? L"attached\n" : L"detached\n");
            TerminateProcess(process.hProcess, 1);
            return 0;
        }
        if (WaitForSingleObject(process.hProcess, 100) == WAIT_OBJECT_0) {
            if (untilWindow) {
                break;
            }
            DWORD code = 0;
            GetExitCodeProcess(process.hProcess, &code);
            print(L"exit " + std::to_wstring(code) + L"\n" + screenText());
            return 0;
        }
    }
    TerminateProcess(process.hProcess, 1);
    return 3;
}
