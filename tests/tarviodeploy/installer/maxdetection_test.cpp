#include "tarviodeploy/installer/maxversion.h"
#include "tarviolib/winapi/registry.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

namespace Tarvio {
namespace {

const String Software = L"HKEY_LOCAL_MACHINE\\SOFTWARE";

// Registers fake 3ds Max installations and removes every key it made, innermost first.
class MaxDetection : public ::testing::Test {
protected:
    void TearDown() override {
        for (auto key = mCreated.rbegin(); key != mCreated.rend(); ++key) {
            WinApi::Registry::deleteKey(*key);
        }
    }

    // Creates Autodesk/relativePath under SOFTWARE, one level at a time, and writes Installdir.
    void registerMax(const String& relativePath, const String& folder, DWORD type = REG_SZ) {
        String path = Software;
        for (const String& name : ("Autodesk/" + relativePath).split(L"/", true)) {
            path += "\\" + name;
            if (!WinApi::Registry::keyExists(path)) {
                ASSERT_TRUE(WinApi::Registry::createKey(path).hasValue()) << path.toUtf8().text();
                mCreated.push_back(path);
            }
        }
        const Optional<WinApi::Registry::Key> key = WinApi::Registry::openKey(path, KEY_SET_VALUE | KEY_WOW64_64KEY);
        ASSERT_TRUE(key.hasValue());
        const DWORD bytes = static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t));
        ASSERT_EQ(RegSetValueExW(key.value().handle(), L"Installdir", 0, type,
                                 reinterpret_cast<const BYTE*>(folder.text()), bytes),
                  ERROR_SUCCESS);
    }

    std::vector<String> mCreated;
};

String found(int32_t year) {
    const Optional<Io::Path> folder = findMaxInstallDirectory(year);
    return folder.hasValue() ? folder.value().text() : String(L"(none)");
}

// 2019 is left alone: scripts/run.sh registers a demo 3ds Max 2019 in the same prefix.
TEST_F(MaxDetection, FindsEachProductAndLanguageKey) {
    registerMax(L"3dsMax/17.0/MAX-1:407", L"C:\\Max 2015 DE");
    registerMax(L"3dsMaxDesign/18.0", L"C:\\Design 2016");
    registerMax(L"3dsMax/18.0/MAX-1:409", L"C:\\Max 2016 EN");
    registerMax(L"3dsMax/15.0/MAX-1:804", L"%ProgramFiles%\\Max", REG_EXPAND_SZ);
    registerMax(L"3dsMax/16.0", L"");

    EXPECT_EQ(found(2015), "C:/Max 2015 DE");
    // Design without a suffix comes before 3ds Max with one.
    EXPECT_EQ(found(2016), "C:/Design 2016");
    EXPECT_EQ(found(2013), "%ProgramFiles%/Max");
    // An empty folder counts as found.
    EXPECT_EQ(found(2014), "");
    EXPECT_EQ(found(2017), "(none)");
}

TEST_F(MaxDetection, ValuesOnlyInThe32BitViewAreNotSeen) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Autodesk\\3dsMax\\20.0", 0, nullptr, 0,
                              KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const wchar_t folder[] = L"C:\\Max32";
    RegSetValueExW(key, L"Installdir", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder), sizeof(folder));
    RegCloseKey(key);
    EXPECT_EQ(found(2018), "(none)");
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Autodesk\\3dsMax\\20.0", KEY_WOW64_32KEY, 0);
}

TEST(MaxVersionNames, AreTheYears) {
    EXPECT_EQ(maxVersionNames.name(MaxVersion::Max2013), "2013");
    EXPECT_EQ(maxVersionNames.name(MaxVersion::Max2019), "2019");
    EXPECT_EQ(maxVersionNames.name(static_cast<MaxVersion>(2020)), "[ERROR]");
}

} // namespace
} // namespace Tarvio
