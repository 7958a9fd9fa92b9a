#include "tarviolib/winapi/process.h"

#include "tarviolib/core/exception.h"

#include <windows.h>

#include <shellapi.h>

namespace Tarvio::WinApi {

namespace {

String parameterText(const Array<String>& arguments) {
    String text;
    for (const String& argument : arguments) {
        if (argument.find(L" ") != String::NotFound) {
            text += L'"';
            text += argument;
            text += L'"';
        } else {
            text += argument;
        }
        text += L' ';
    }
    return text;
}

} // namespace

Process::Process(const Io::Path& program, const Array<String>& arguments, uint32_t flags) : mFlags(flags) {
    const String file = program.toNative();
    const String parameters = parameterText(arguments);
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
#ifdef TARVIO_TEST_SEAMS
    // A failed start must not leave the shell's error box waiting for an answer in a test run.
    info.fMask |= SEE_MASK_FLAG_NO_UI;
#endif
    info.nShow = SW_SHOW;
    info.lpVerb = (flags & ProcessFlag::RunAsAdministrator) != 0 ? L"runas" : nullptr;
    info.lpFile = file.text();
    info.lpParameters = parameters.text();
    if (!ShellExecuteExW(&info)) {
        throwException(L"Can't start " + file + L" as process.");
    }
    mHandle = info.hProcess;
}

Process::~Process() {
    if (mHandle == nullptr) {
        return;
    }
    if ((mFlags & ProcessFlag::Detached) == 0) {
        TerminateProcess(mHandle, 4294967295u);
    }
    CloseHandle(mHandle);
}

Optional<int32_t> Process::wait(uint32_t milliseconds, uint32_t) {
    if (mHandle == nullptr || WaitForSingleObject(mHandle, milliseconds) != WAIT_OBJECT_0) {
        return {};
    }
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(mHandle, &exitCode)) {
        exitCode = 1;
    }
    CloseHandle(mHandle);
    mHandle = nullptr;
    return static_cast<int32_t>(exitCode);
}

} // namespace Tarvio::WinApi
