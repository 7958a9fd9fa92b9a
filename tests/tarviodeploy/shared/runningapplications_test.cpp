#include "tarviodeploy/shared/runningapplications.h"

#include "tests/support/deploymenttesting.h"
#include "tarviolib/winapi/module.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

namespace Tarvio {
namespace {

using namespace Testing;

// Copies of the sleeper under the given names, running until the test ends.
class RunningPrograms {
public:
    RunningPrograms(const Io::Path& folder, std::initializer_list<const char*> names) {
        const Io::Path sleeper = WinApi::executablePath().parent() / "tarviodeploy_test_sleeper.exe";
        for (const char* name : names) {
            const Io::Path copy = folder / name;
            EXPECT_TRUE(CopyFileW(sleeper.toNative().text(), copy.toNative().text(), FALSE)) << name;
            STARTUPINFOW startup = {};
            startup.cb = sizeof(startup);
            PROCESS_INFORMATION process = {};
            EXPECT_TRUE(CreateProcessW(copy.toNative().text(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                       &startup, &process))
                << name;
            CloseHandle(process.hThread);
            mProcesses.push_back(process.hProcess);
        }
    }

    ~RunningPrograms() {
        for (HANDLE process : mProcesses) {
            TerminateProcess(process, 0);
            WaitForSingleObject(process, INFINITE);
            CloseHandle(process);
        }
    }

private:
    std::vector<HANDLE> mProcesses;
};

std::string listed(const PrerequisiteIssues& answer) {
    std::string text;
    for (const auto& category : answer) {
        text += utf8Text(prerequisiteCategoryNames.name(category.key)) + ":";
        for (const String& program : category.value) {
            text += " " + utf8Text(program);
        }
    }
    return text;
}

TEST(RunningApplications, MatchWholeNamesWithoutRegardToCase) {
    const TemporaryFolder folder("running");
    const RunningPrograms programs(folder.path(), {"3DSMAX.EXE", "TarvioImageCmd.exe"});

    EXPECT_TRUE(isProcessRunning(L"3dsmax.exe"));
    EXPECT_TRUE(isProcessRunning(L"3DSMAX.EXE"));
    EXPECT_FALSE(isProcessRunning(L"3dsmax.exe.bak"));
    EXPECT_FALSE(isProcessRunning(L"3dsmax"));
    EXPECT_FALSE(isProcessRunning(L"DrServer.exe"));

    EXPECT_EQ(listed(runningApplicationPrerequisites({L"3dsmax.exe"}, L"3ds Max")), "RunningApplication: 3ds Max");
    // The image editor's command-line program alone is enough.
    EXPECT_EQ(listed(runningApplicationPrerequisites({L"TarvioImage.exe", L"TarvioImageCmd.exe"}, L"Image Editor")),
              "RunningApplication: Image Editor");
    EXPECT_EQ(listed(runningApplicationPrerequisites({L"DrServer.exe"}, L"DR Server")), "");
}

TEST(RunningApplications, EndedProgramsNoLongerCount) {
    const TemporaryFolder folder("ended");
    {
        const RunningPrograms programs(folder.path(), {"DrServer.exe"});
        EXPECT_TRUE(isProcessRunning(L"drserver.EXE"));
    }
    EXPECT_FALSE(isProcessRunning(L"DrServer.exe"));
}

} // namespace
} // namespace Tarvio
