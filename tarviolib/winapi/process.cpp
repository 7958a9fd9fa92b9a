#include "tarviolib/winapi/process.h"

#include "tarviolib/core/exception.h"

#include <windows.h>

#include <shellapi.h>

#ifdef TARVIO_TEST_SEAMS
#include <cwchar>
#endif

namespace Tarvio::WinApi {

namespace {

void appendBackslashes(String& text, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        text += L'\\';
    }
}

// The argument as CommandLineToArgvW reads it back. Quoted when it is empty or holds white space
// or a quote; inside the quotes a run of backslashes is doubled where a quote follows it (an
// inner quote, escaped with one more backslash, or the closing one) and kept as it is elsewhere.
void appendArgument(String& text, const String& argument) {
    if (!argument.isEmpty() && argument.findFirstOf(L" \t\n\v\"") == String::NotFound) {
        text += argument;
        return;
    }
    text += L'"';
    int32_t backslashes = 0;
    for (int32_t i = 0; i < argument.size(); ++i) {
        const wchar_t unit = argument[i];
        if (unit == L'\\') {
            ++backslashes;
            continue;
        }
        appendBackslashes(text, unit == L'"' ? 2 * backslashes + 1 : backslashes);
        backslashes = 0;
        text += unit;
    }
    appendBackslashes(text, 2 * backslashes);
    text += L'"';
}

} // namespace

String commandLineParameters(const Array<String>& arguments) {
    String text;
    for (const String& argument : arguments) {
        appendArgument(text, argument);
        text += L' ';
    }
    return text;
}

namespace {

#ifdef TARVIO_TEST_SEAMS
// Under Wine "runas" never asks. TARVIO_TEST_ELEVATION=declined makes it fail as when the user
// declines the elevation prompt.
bool elevationDeclinedForTesting() {
    wchar_t text[16] = {};
    const DWORD length = GetEnvironmentVariableW(L"TARVIO_TEST_ELEVATION", text, 16);
    return length > 0 && length < 16 && std::wcscmp(text, L"declined") == 0;
}
#endif

[[noreturn]] void throwCannotStart(const String& file) {
    throwException(L"Can't start " + file + L" as process.");
}

// Starts the program through the shell and hands over its process handle; false when the user
// declined the elevation that RunAsAdministrator asks for.
bool shellStart(const Io::Path& program, const Array<String>& arguments, uint32_t flags, KernelHandle& process) {
    const String file = program.toNative();
    const String parameters = commandLineParameters(arguments);
    const bool elevate = (flags & ProcessFlag::RunAsAdministrator) != 0;
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
#ifdef TARVIO_TEST_SEAMS
    // A failed start must not leave the shell's error box waiting for an answer in a test run.
    info.fMask |= SEE_MASK_FLAG_NO_UI;
#endif
    info.nShow = SW_SHOW;
    info.lpVerb = elevate ? L"runas" : nullptr;
    info.lpFile = file.text();
    info.lpParameters = parameters.text();
#ifdef TARVIO_TEST_SEAMS
    if (elevate && elevationDeclinedForTesting()) {
        return false;
    }
#endif
    if (!ShellExecuteExW(&info)) {
        if (elevate && GetLastError() == ERROR_CANCELLED) {
            return false;
        }
        throwCannotStart(file);
    }
    process.reset(info.hProcess);
    return true;
}

} // namespace

Process::Process(const Io::Path& program, const Array<String>& arguments, uint32_t flags) : mFlags(flags) {
    if (!shellStart(program, arguments, flags, mHandle)) {
        throwCannotStart(program.toNative());
    }
}

Process::~Process() {
    if (mHandle && (mFlags & ProcessFlag::Detached) == 0) {
        TerminateProcess(mHandle.get(), 4294967295u);
    }
}

bool startElevated(const Io::Path& program, const Array<String>& arguments) {
    KernelHandle process;
    return shellStart(program, arguments, ProcessFlag::RunAsAdministrator, process);
}

Optional<int32_t> Process::wait(uint32_t milliseconds, uint32_t) {
    if (!mHandle || WaitForSingleObject(mHandle.get(), milliseconds) != WAIT_OBJECT_0) {
        return {};
    }
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(mHandle.get(), &exitCode)) {
        exitCode = 1;
    }
    mHandle.reset();
    return static_cast<int32_t>(exitCode);
}

} // namespace Tarvio::WinApi
