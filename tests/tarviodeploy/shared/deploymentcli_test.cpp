#include "tarviodeploy/shared/ui/deploymentcli.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/winapi/consoletext.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

namespace Tarvio {
namespace {

TEST(DeploymentCli, PrerequisitesAreListedInTheCategoriesOrderWhateverTheirOrderOfCollection) {
    PrerequisiteIssues issues;
    issues[PrerequisiteCategory::General].append(L"Restart Windows");
    issues[PrerequisiteCategory::RunningApplication].append(L"3ds Max");
    issues[PrerequisiteCategory::RunningApplication].append(L"DR Server");
    EXPECT_EQ(DeploymentCli::prerequisitesListing(issues),
              "These applications appear to be running, you should close these applications before continuing:\n"
              "\t3ds Max\n\tDR Server\n"
              "These prerequisites need to be fulfilled in order to continue:\n"
              "\tRestart Windows\n"
              "\nResolve all issues and try again.\n");
}

TEST(DeploymentCli, TheQuestionIsAnsweredWithAbort) {
    PrerequisiteIssues issues;
    issues[PrerequisiteCategory::General].append(L"x");
    DeploymentCli cli(DeploymentUserInterface::Mode::Installer);
    EXPECT_EQ(cli.askAboutPrerequisites(issues), UserResponse::Abort);
}

TEST(DeploymentCli, TitlesByMode) {
    EXPECT_EQ(DeploymentUserInterface::title(DeploymentUserInterface::Mode::Installer), "Tarvio Installer");
    EXPECT_EQ(DeploymentUserInterface::title(DeploymentUserInterface::Mode::Uninstaller), "Tarvio Uninstaller");
    EXPECT_THROW(DeploymentUserInterface::title(static_cast<DeploymentUserInterface::Mode>(2)), Exception);
}

// What reaches a redirected standard stream: the runtime's wide streams would stop at the first
// character outside the "C" locale.
TEST(ConsoleText, EveryCharacterReachesAFileAsUtf8) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    WinApi::writeConsoleText(file, L"C:/users/J\u00fcrgen/Grü\u00dfe \u6771\u4eac\n");
    WinApi::writeConsoleText(file, L"and later lines\n");
    std::rewind(file);
    char bytes[256] = {};
    const size_t count = std::fread(bytes, 1, sizeof(bytes), file);
    std::fclose(file);
    EXPECT_EQ(std::string(bytes, count),
              "C:/users/J\xC3\xBCrgen/Gr\xC3\xBC\xC3\x9F" "e \xE6\x9D\xB1\xE4\xBA\xAC\nand later lines\n");
}

// A console shows every character whatever its code page, in which UTF-8 bytes would read as other
// characters.
TEST(ConsoleText, EveryCharacterReachesAConsole) {
    // A console of the test's own: under Wine the test starts with a console connection that has
    // no screen.
    FreeConsole();
    ASSERT_TRUE(AllocConsole());
    SetConsoleOutputCP(850);
    const HANDLE screen = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(screen, INVALID_HANDLE_VALUE);
    CONSOLE_SCREEN_BUFFER_INFO before = {};
    ASSERT_TRUE(GetConsoleScreenBufferInfo(screen, &before));
    std::FILE* console = std::fopen("CONOUT$", "w");
    ASSERT_NE(console, nullptr);
    const std::wstring line = L"Error: C:\\Users\\J\u00fcrgen \u017b\u00f3\u0142\u0107\\AppData";
    WinApi::writeConsoleText(console, String(line.c_str()) + "\n");
    std::fclose(console);
    std::wstring shown(line.size(), L' ');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(screen, shown.data(), static_cast<DWORD>(shown.size()),
                                before.dwCursorPosition, &read);
    CloseHandle(screen);
    FreeConsole();
    EXPECT_EQ(shown, line);
}

} // namespace
} // namespace Tarvio
