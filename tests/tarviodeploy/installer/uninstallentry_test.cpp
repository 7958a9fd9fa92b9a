#include "tarviodeploy/installer/uninstallentry.h"
#include "tarviolib/winapi/registry.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>

namespace Tarvio {
namespace {

const String Id = L"TarvioTestsUninstallEntry";
const String KeyPath = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + Id;

// Every value of the key: name -> text (strings) or decimal (DWORDs).
std::map<std::string, std::string> values() {
    std::map<std::string, std::string> result;
    HKEY key = nullptr;
    const std::wstring sub = std::wstring(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + Id.text();
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, sub.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) {
        return result;
    }
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        BYTE data[2048];
        DWORD dataSize = sizeof(data);
        DWORD type = 0;
        if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) {
            break;
        }
        const std::string valueName = String(name).toUtf8().text();
        if (type == REG_DWORD) {
            result[valueName] = std::to_string(*reinterpret_cast<DWORD*>(data));
        } else {
            result[valueName] = String(reinterpret_cast<wchar_t*>(data)).toUtf8().text();
        }
    }
    RegCloseKey(key);
    return result;
}

class UninstallEntryTest : public ::testing::Test {
protected:
    void TearDown() override { WinApi::Registry::deleteKey(KeyPath); }
};

TEST_F(UninstallEntryTest, ReplacesAnEarlierEntryWithExactlyTheFlowsNineValues) {
    ASSERT_TRUE(WinApi::Registry::createKey(KeyPath).hasValue());
    ASSERT_TRUE(WinApi::Registry::writeString(KeyPath, L"Leftover", L"old"));
    UninstallEntry entry;
    entry.publisher = L"Kelvane";
    entry.displayName = L"Tarvio Renderer for 3ds Max";
    entry.displayVersion = Optional<String>(String(L"2"));
    entry.displayIcon = Io::Path(String(L"C:/Program Files/Tarvio/RemoveTarvioForMax.exe"));
    entry.installLocation = Io::Path(String(L"C:/Program Files/Tarvio"));
    entry.uninstallerPath = L"C:\\Program Files\\Tarvio\\RemoveTarvioForMax.exe";
    entry.noModify = true;
    entry.noRepair = true;
    writeUninstallEntry(entry, Id);

    const std::map<std::string, std::string> expected = {
        {"Publisher", "Kelvane"},
        {"DisplayName", "Tarvio Renderer for 3ds Max"},
        {"InstallLocation", "C:\\Program Files\\Tarvio"},
        {"UninstallString", "\"C:\\Program Files\\Tarvio\\RemoveTarvioForMax.exe\""},
        {"NoModify", "1"},
        {"NoRepair", "1"},
        {"NoRemove", "0"},
        {"DisplayVersion", "2"},
        {"DisplayIcon", "C:\\Program Files\\Tarvio\\RemoveTarvioForMax.exe"},
    };
    EXPECT_EQ(values(), expected);
}

TEST_F(UninstallEntryTest, OptionalValuesAreLeftOutOrAdded) {
    UninstallEntry entry;
    entry.estimatedSize = 0;
    writeUninstallEntry(entry, Id);
    EXPECT_EQ(values().size(), 7u);

    entry.estimatedSize = 1234;
    writeUninstallEntry(entry, Id);
    EXPECT_EQ(values().size(), 8u);
    EXPECT_EQ(values()["EstimatedSize"], "1234");
}

} // namespace
} // namespace Tarvio
