#include "tests/support/dpitesting.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iostream>
#include <sstream>

namespace Tarvio::Testing {

namespace {

const wchar_t* const DesktopKey = L"Control Panel\\Desktop";
const wchar_t* const AskedDpiVariable = L"TARVIO_TEST_ASKED_DPI";

// Sets LogPixels for the life of the object, then puts back what was there.
class LogPixelsSetting {
public:
    explicit LogPixelsSetting(DWORD dpi) {
        DWORD size = sizeof(mOld);
        mHadOld = RegGetValueW(HKEY_CURRENT_USER, DesktopKey, L"LogPixels", RRF_RT_REG_DWORD, nullptr, &mOld,
                               &size) == ERROR_SUCCESS;
        RegSetKeyValueW(HKEY_CURRENT_USER, DesktopKey, L"LogPixels", REG_DWORD, &dpi, sizeof(dpi));
    }

    ~LogPixelsSetting() {
        if (mHadOld) {
            RegSetKeyValueW(HKEY_CURRENT_USER, DesktopKey, L"LogPixels", REG_DWORD, &mOld, sizeof(mOld));
        } else {
            RegDeleteKeyValueW(HKEY_CURRENT_USER, DesktopKey, L"LogPixels");
        }
    }

    LogPixelsSetting(const LogPixelsSetting&) = delete;
    LogPixelsSetting& operator=(const LogPixelsSetting&) = delete;

private:
    DWORD mOld = 0;
    bool mHadOld = false;
};

} // namespace

int screenDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

int dpiColumn() {
    const int dpi = screenDpi();
    if (dpi != 96 && dpi != 120 && dpi != 144) {
        ADD_FAILURE() << "no expectations for " << dpi << " DPI";
        return 0;
    }
    return (dpi - 96) / 24;
}

bool screenIsAsAsked() {
    wchar_t asked[16] = {};
    if (GetEnvironmentVariableW(AskedDpiVariable, asked, 16) == 0) {
        return true;
    }
    return std::to_wstring(screenDpi()) == asked;
}

int runAtDpi(int dpi, const std::string& filter) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring outputPath =
        std::wstring(temp) + L"tarvio-dpi-" + std::to_wstring(GetCurrentProcessId()) + L".txt";

    // Output to a file: Wine's background processes would keep a pipe open.
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    const HANDLE output = CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (output == INVALID_HANDLE_VALUE) {
        return -1;
    }
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --gtest_filter=" +
                               std::wstring(filter.begin(), filter.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION process{};
    DWORD exitCode = static_cast<DWORD>(-1);
    {
        LogPixelsSetting setting(static_cast<DWORD>(dpi));
        SetEnvironmentVariableW(AskedDpiVariable, std::to_wstring(dpi).c_str());
        if (CreateProcessW(self, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                           &process)) {
            if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0) {
                GetExitCodeProcess(process.hProcess, &exitCode);
            } else {
                TerminateProcess(process.hProcess, 1);
            }
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
        SetEnvironmentVariableW(AskedDpiVariable, nullptr);
    }
    CloseHandle(output);

    std::ifstream file(outputPath.c_str());
    std::cout << "--- at " << dpi << " DPI ---\n" << file.rdbuf() << "--- end of the run at " << dpi << " DPI ---\n";
    file.close();
    DeleteFileW(outputPath.c_str());
    return static_cast<int>(exitCode);
}

} // namespace Tarvio::Testing
