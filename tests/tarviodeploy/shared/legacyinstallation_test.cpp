#include "tarviodeploy/shared/legacyinstallation.h"

#include "tests/support/deploymenttesting.h"
#include "tarviolib/winapi/registry.h"

#include <gtest/gtest.h>

namespace Tarvio {
namespace {

using namespace Testing;
namespace Registry = WinApi::Registry;

class LegacyInstallation : public ::testing::Test {
protected:
    // A previous-generation folder holding the given files, named by the program's value.
    Io::Path leaveFolder(const LegacySideProgram& program, std::initializer_list<const char*> files) {
        const Io::Path folder = mFolder.path() / "Legacy";
        Io::createDirectories(folder);
        for (const char* file : files) {
            writeBytes(folder / file, "x");
        }
        Registry::writeString(mKey.path(), program.valueName, folder.toNative());
        return folder;
    }

    bool valueLeft(const LegacySideProgram& program) const {
        return Registry::valueExists(mKey.path(), program.valueName);
    }

    TemporaryFolder mFolder{"legacy"};
    TestRegistryKey mKey{"Legacy"};
};

TEST_F(LegacyInstallation, ServerFoldersGoWhenEmptyAndTheirValuesAlways) {
    const struct {
        const LegacySideProgram& program;
        std::initializer_list<const char*> files;
        bool folderStays;
    } cases[] = {
        {legacyDrServer, {"DrServer.exe"}, false},
        {legacyDrServer, {"DrServer.exe", "user.txt"}, true},
        {legacyLicensingServer, {"LicensingServer.exe", "LicensingServerLog.txt"}, false},
        {legacyLicensingServer, {"LicensingServer.exe", "user.txt"}, true},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(utf8Text(test.program.valueName));
        const Io::Path folder = leaveFolder(test.program, test.files);

        removeLegacySideProgram(test.program, mKey.path());

        EXPECT_EQ(Io::isDirectory(folder), test.folderStays);
        EXPECT_EQ(Io::isFile(folder / "user.txt"), test.folderStays);
        EXPECT_FALSE(valueLeft(test.program));
        Io::removeFile(folder / "user.txt");
        Io::removeDirectory(folder);
    }
}

TEST_F(LegacyInstallation, MissingFolderStillLosesItsValue) {
    Registry::writeString(mKey.path(), legacyDrServer.valueName, (mFolder.path() / "Gone").toNative());
    removeLegacySideProgram(legacyDrServer, mKey.path());
    EXPECT_FALSE(valueLeft(legacyDrServer));
}

TEST_F(LegacyInstallation, StandaloneFolderEndsEmptyButPresentAndKeepsItsValue) {
    const Io::Path folder =
        leaveFolder(legacyStandalone, {"Tarvio.exe", "TarvioStandalone_log.txt", "TarvioOepnExr.dll",
                                       "wxmsw310u_vc_tarvio.dll", "TarvioLib_Release.dll"});
    removeLegacySideProgram(legacyStandalone, mKey.path());
    EXPECT_TRUE(Io::isDirectory(folder));
    EXPECT_TRUE(std::filesystem::is_empty(folder.toNative().text()));
    EXPECT_TRUE(valueLeft(legacyStandalone));
}

TEST_F(LegacyInstallation, EmptyOrRelativeFoldersAreNotCleaned) {
    // A bait in the working folder, which an empty or relative value would point into.
    const Io::Path working = mFolder.path() / "Working";
    Io::createDirectories(working);
    writeBytes(working / "DrServer.exe", "x");
    writeBytes(working / "Tarvio_Release.dll", "x");
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(working.toNative().text());

    for (const wchar_t* value : {L"", L".", L"Working"}) {
        Registry::writeString(mKey.path(), legacyDrServer.valueName, value);
        removeLegacySideProgram(legacyDrServer, mKey.path());
        EXPECT_TRUE(valueLeft(legacyDrServer));
    }
    removeObsoleteLibraries(L"");
    removeObsoleteLibraries(L".");
    SetCurrentDirectoryW(previous);

    EXPECT_TRUE(Io::isFile(working / "DrServer.exe"));
    EXPECT_TRUE(Io::isFile(working / "Tarvio_Release.dll"));
}

TEST_F(LegacyInstallation, NoValueNoCleanUp) {
    const Io::Path folder = mFolder.path() / "Untouched";
    Io::createDirectories(folder);
    removeLegacySideProgram(legacyDrServer, mKey.path());
    EXPECT_TRUE(Io::isDirectory(folder));
}

TEST_F(LegacyInstallation, ObsoleteLibrariesOnlyDirectlyInTheFolder) {
    const Io::Path folder = mFolder.path() / "Max";
    Io::createDirectories(folder / "plugins");
    for (const char* file : {"TarvioOpenExr2.dll", "Tarvio_Assert.dll", "wxbase294u_vc_custom.dll", "keep.dll",
                             "plugins/Tarvio_Release.dll"}) {
        writeBytes(folder / file, "x");
    }
    removeObsoleteLibraries(folder);
    EXPECT_FALSE(Io::isFile(folder / "TarvioOpenExr2.dll"));
    EXPECT_FALSE(Io::isFile(folder / "Tarvio_Assert.dll"));
    EXPECT_FALSE(Io::isFile(folder / "wxbase294u_vc_custom.dll"));
    EXPECT_TRUE(Io::isFile(folder / "keep.dll"));
    EXPECT_TRUE(Io::isFile(folder / "plugins/Tarvio_Release.dll"));
}

} // namespace
} // namespace Tarvio
