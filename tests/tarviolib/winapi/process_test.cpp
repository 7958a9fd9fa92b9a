#include "tarviolib/winapi/process.h"

#include "tarviolib/core/exception.h"
#include "tarviolib/winapi/module.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <fstream>
#include <iterator>
#include <string>

namespace Tarvio::WinApi {
namespace {

// Long enough never to end on its own during a test.
const String SleepForever = L"600000";

Io::Path testChild() {
    return executablePath().parent() / L"tarviolib_winapi_testchild.exe";
}

// A handle of our own on the child, so that its end can be seen after the Process is gone.
HANDLE watch(const Process& process) {
    return OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE,
                       GetProcessId(static_cast<HANDLE>(process.handle())));
}

DWORD exitCodeAfterEnd(HANDLE child) {
    EXPECT_EQ(WaitForSingleObject(child, 60000), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeProcess(child, &code));
    return code;
}

TEST(ProcessTest, WaitGivesTheExitCodeOnceAndThenNothing) {
    Process process(testChild(), {L"exit", L"7"}, 0);
    ASSERT_NE(process.handle(), nullptr);
    EXPECT_EQ(process.wait(60000, 0).valueOr(-100), 7);
    EXPECT_EQ(process.handle(), nullptr);
    EXPECT_FALSE(process.wait(0, 0).hasValue());
}

TEST(ProcessTest, StartsElevatedWithTheRunasVerb) {
    Process process(testChild(), {L"exit", L"3"}, ProcessFlag::RunAsAdministrator | ProcessFlag::Detached);
    EXPECT_EQ(process.flags(), ProcessFlag::RunAsAdministrator | ProcessFlag::Detached);
    EXPECT_EQ(process.wait(60000).valueOr(-100), 3);
}

TEST(ProcessTest, NoArgumentsPassNoParameters) {
    Process process(testChild(), {}, 0);
    EXPECT_EQ(process.wait(60000).valueOr(-100), 42);
}

TEST(ProcessTest, ParametersReadBackAsTheArgumentsThroughCommandLineToArgvW) {
    const Array<String> arguments = {
        L"plain",
        L"C:\\Program Files\\Tarvio\\file.txt",
        L"tab\tinside",
        L"say \"hi\"",
        L"quote\"alone",
        L"C:\\trailing\\",
        L"C:\\blank and trailing\\",
        L"backslashes\\\\\"before a quote",
        L"",
        L"\\\\server\\share",
        L"ends with \\\\",
    };
    const String commandLine = L"program.exe " + commandLineParameters(arguments);
    int count = 0;
    wchar_t** words = CommandLineToArgvW(commandLine.text(), &count);
    ASSERT_NE(words, nullptr);
    EXPECT_EQ(count, arguments.size() + 1) << commandLine;
    for (int32_t i = 0; i < arguments.size() && i + 1 < count; ++i) {
        EXPECT_EQ(String(words[i + 1]), arguments[i]) << commandLine;
    }
    LocalFree(words);
}

TEST(ProcessTest, TheChildReceivesTheParametersEachFollowedByABlank) {
    wchar_t temp[MAX_PATH + 1] = {};
    ASSERT_NE(GetTempPathW(MAX_PATH + 1, temp), 0u);
    const String folder = String(temp) + L"tarvio process test";
    CreateDirectoryW(folder.text(), nullptr);
    const String file = folder + L"\\command line.txt";
    DeleteFileW(file.text());

    Process process(testChild(), {L"record", file, L"tab\tinside", L"plain"}, 0);
    ASSERT_EQ(process.wait(60000).valueOr(-100), 0);

    std::ifstream stream(file.toUtf8().text(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    stream.close();
    const String commandLine(reinterpret_cast<const wchar_t*>(bytes.data()), static_cast<int32_t>(bytes.size() / 2));
    const String parameters = L"record \"" + file + L"\" \"tab\tinside\" plain ";
    EXPECT_EQ(commandLine.substr(commandLine.size() - parameters.size()), parameters) << commandLine;

    DeleteFileW(file.text());
    RemoveDirectoryW(folder.text());
}

// The elevated start that may be declined: accepted, the child runs on its own; declined (the
// test build's stand-in for the prompt), nothing starts, and a Process reports it as a failure.
TEST(ProcessTest, ElevatedStartTellsADeclinedPromptApart) {
    wchar_t temp[MAX_PATH + 1] = {};
    ASSERT_NE(GetTempPathW(MAX_PATH + 1, temp), 0u);
    const String file = String(temp) + L"tarvio elevated start.txt";
    for (const bool declined : {false, true}) {
        SCOPED_TRACE(declined ? "declined" : "accepted");
        DeleteFileW(file.text());
        SetEnvironmentVariableW(L"TARVIO_TEST_ELEVATION", declined ? L"declined" : nullptr);
        EXPECT_EQ(startElevated(testChild(), {L"record", file}), !declined);
        if (declined) {
            try {
                Process process(testChild(), {L"exit", L"0"}, ProcessFlag::RunAsAdministrator);
                ADD_FAILURE() << "no exception";
            } catch (const Exception& exception) {
                EXPECT_EQ(String(exception.what()), L"Can't start " + testChild().toNative() + L" as process.");
            }
        }
        SetEnvironmentVariableW(L"TARVIO_TEST_ELEVATION", nullptr);
        // The accepted child records its command line; give it time to run.
        bool recorded = false;
        for (int i = 0; i < (declined ? 10 : 600) && !recorded; ++i) {
            recorded = GetFileAttributesW(file.text()) != INVALID_FILE_ATTRIBUTES;
            Sleep(100);
        }
        EXPECT_EQ(recorded, !declined);
    }
    DeleteFileW(file.text());
}

TEST(ProcessTest, DestroyingTerminatesTheChildUnlessDetached) {
    HANDLE terminated = nullptr;
    {
        Process process(testChild(), {L"sleep", SleepForever}, 0);
        terminated = watch(process);
        ASSERT_NE(terminated, nullptr);
        EXPECT_FALSE(process.wait(0).hasValue()); // still running: nothing, and the handle stays
        EXPECT_NE(process.handle(), nullptr);
    }
    EXPECT_EQ(exitCodeAfterEnd(terminated), 4294967295u);
    CloseHandle(terminated);

    HANDLE detached = nullptr;
    {
        Process process(testChild(), {L"sleep", SleepForever}, ProcessFlag::Detached);
        detached = watch(process);
        ASSERT_NE(detached, nullptr);
    }
    EXPECT_EQ(WaitForSingleObject(detached, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    TerminateProcess(detached, 0);
    EXPECT_EQ(exitCodeAfterEnd(detached), 0u);
    CloseHandle(detached);
}

TEST(ProcessTest, AProgramThatCannotBeStartedThrows) {
    const Io::Path missing = executablePath().parent() / L"no such program.exe";
    try {
        Process process(missing, {}, 0);
        FAIL() << "started a missing program";
    } catch (const Exception& exception) {
        EXPECT_EQ(exceptionMessage(exception), L"Can't start " + missing.toNative() + L" as process.");
    }
}

} // namespace
} // namespace Tarvio::WinApi
