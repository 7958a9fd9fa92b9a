#pragma once

// Windows test helpers of the deployment tests: a logger and a user interface that record what
// they are given, a fresh folder of the test's own, and a registry key of the test's own.

#include "tarviodeploy/shared/installerlogger.h"
#include "tarviodeploy/shared/ui/deploymentuserinterface.h"
#include "tarviolib/io/filesystem.h"
#include "tarviolib/io/path.h"
#include "tarviolib/winapi/registry.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace Tarvio::Testing {

inline std::string utf8Text(const String& text) {
    return text.toUtf8().text();
}

// Every printed text, joined; each level written in front of its text when it is not Info.
class RecordingLogger : public InstallerLogger {
public:
    void updateProgress(const String&) override {}
    bool isGui() const override { return false; }
    void print(const String& text, LogLevel level) override {
        static const char* const prefixes[] = {"", "[warning] ", "[error] "};
        printed += prefixes[static_cast<int>(level)] + utf8Text(text);
    }

    std::string printed;
};

class RecordingUserInterface : public DeploymentUserInterface {
public:
    void error(const String& text) override { messages.push_back("error: " + utf8Text(text)); }
    void warning(const String& text) override { messages.push_back("warning: " + utf8Text(text)); }
    void info(const String& text) override { messages.push_back("info: " + utf8Text(text)); }
    UserResponse askAboutPrerequisites(const PrerequisiteIssues&) override { return UserResponse::Abort; }

    std::vector<std::string> messages;
};

// A new empty folder under the temporary folder, removed with everything in it at the end. The
// log of the loggers made meanwhile goes there too, not into the user's own.
class TemporaryFolder {
public:
    explicit TemporaryFolder(const char* name) {
        wchar_t temp[MAX_PATH + 1];
        GetTempPathW(MAX_PATH + 1, temp);
        mPath = Io::Path(String(temp)) / (String("tarvio-tests-") + name + "-" +
                                          toString(static_cast<int32_t>(GetCurrentProcessId())));
        std::filesystem::remove_all(mPath.toNative().text());
        Io::createDirectories(mPath);
        SetEnvironmentVariableW(L"TARVIO_TEST_SYSTEM", L"no-known-folders");
        SetEnvironmentVariableW(L"LOCALAPPDATA", mPath.toNative().text());
    }

    ~TemporaryFolder() {
        SetEnvironmentVariableW(L"TARVIO_TEST_SYSTEM", nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(mPath.toNative().text(), ignored);
    }

    const Io::Path& path() const { return mPath; }

private:
    Io::Path mPath;
};

inline void writeBytes(const Io::Path& path, const std::string& bytes) {
    std::ofstream file(path.toNative().text(), std::ios::binary);
    file << bytes;
}

inline std::string readBytes(const Io::Path& path) {
    std::ifstream file(path.toNative().text(), std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// HKEY_CURRENT_USER\Software\TarvioTests\<name>, created empty and removed with its sub-keys at
// the end.
class TestRegistryKey {
public:
    explicit TestRegistryKey(const char* name) : mSubKey(String("Software\\TarvioTests\\") + name) {
        remove();
        WinApi::Registry::createKey(L"HKEY_CURRENT_USER\\Software\\TarvioTests");
        WinApi::Registry::createKey(path());
    }

    // The shared parent stays: test programs running at the same time create keys below it.
    ~TestRegistryKey() { remove(); }

    String path() const { return "HKEY_CURRENT_USER\\" + mSubKey; }

private:
    // In the 64-bit view, like every access of the registry wrapper.
    void remove() const {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, mSubKey.text(), 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &key) ==
            ERROR_SUCCESS) {
            RegDeleteTreeW(key, nullptr);
            RegCloseKey(key);
        }
        RegDeleteKeyExW(HKEY_CURRENT_USER, mSubKey.text(), KEY_WOW64_64KEY, 0);
    }

    String mSubKey;
};

} // namespace Tarvio::Testing
