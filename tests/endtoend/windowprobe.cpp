// Reads another program's windows for the graphical end-to-end test, as far as a person can see
// them: "windowprobe TITLE" prints, for the visible top-level window with that title and each of
// its visible descendants, one line "class|x|y|width|height|text" (screen coordinates, text with
// line ends as "\n"), UTF-8. Exit code 1 when no such window exists.

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string utf8(const std::wstring& text) {
    if (text.empty()) {
        return std::string();
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

// The window's text; WM_GETTEXT reaches edit and rich-edit controls of other processes too.
std::wstring windowText(HWND window) {
    const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied));
    // A line ends in CR LF, or in CR alone in a rich-edit control: each becomes "\n".
    std::wstring escaped;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
            continue;
        }
        escaped += text[i] == L'\r' || text[i] == L'\n' ? std::wstring(L"\\n") : std::wstring(1, text[i]);
    }
    return escaped;
}

void printWindow(HWND window) {
    wchar_t className[256] = {};
    GetClassNameW(window, className, 256);
    RECT rect = {};
    GetWindowRect(window, &rect);
    std::printf("%s|%ld|%ld|%ld|%ld|%s\n", utf8(className).c_str(), rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top, utf8(windowText(window)).c_str());
}

BOOL CALLBACK printChild(HWND child, LPARAM) {
    if (IsWindowVisible(child)) {
        printWindow(child);
    }
    return TRUE;
}

struct Search {
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK findTopLevel(HWND window, LPARAM parameter) {
    Search* search = reinterpret_cast<Search*>(parameter);
    wchar_t title[512] = {};
    GetWindowTextW(window, title, 512);
    if (IsWindowVisible(window) && std::wstring(title) == search->title) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: windowprobe TITLE\n");
        return 2;
    }
    Search search{argv[1], nullptr};
    EnumWindows(findTopLevel, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) {
        return 1;
    }
    printWindow(search.found);
    EnumChildWindows(search.found, printChild, 0);
    return 0;
}
