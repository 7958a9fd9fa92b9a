#include "tarviodeploy/installer/iescomponent.h"
#include "tarviodeploy/installer/lutcomponent.h"
#include "tarviodeploy/installer/vsredistributablescomponent.h"
#include "tarviodeploy/shared/runningapplications.h"
#include "tarviolib/winapi/administratorsfolder.h"
#include "tarviolib/winapi/knownfolders.h"
#include "tarviolib/winapi/module.h"
#include "tests/support/componenttesting.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace Tarvio {
namespace {

using namespace Testing;

const std::vector<std::string> bundlePayload = {"LUT/Neutral.cube", "LUT/Film/Warm.cube", "IES/Point.ies",
                                                "IES/Spots/Wide.ies", "LUTbeside.txt"};

class ContentBundleTest : public ComponentTest {
protected:
    ContentBundleTest() : ComponentTest(payloadRecords(bundlePayload)) {}
};

TEST_F(ContentBundleTest, EachBundleCopiesItsPayloadFolderWithItsLayout) {
    const struct {
        UniquePtr<Component> component;
        const char* name;
        const char* defaultFolder;
        const char* payloadFolder;
        std::vector<std::string> files; // in the payload's listing order
    } cases[] = {
        {makeUnique<LutComponent>(), "LUT bundle", "C:/Program Files/Tarvio/lut", "LUT",
         {"Film/Warm.cube", "Neutral.cube"}},
        {makeUnique<IesComponent>(), "IES bundle", "C:/Program Files/Tarvio/ies", "IES",
         {"Point.ies", "Spots/Wide.ies"}},
    };
    for (const auto& test : cases) {
        Component& component = *test.component;
        EXPECT_EQ(utf8Text(component.name()), test.name);
        EXPECT_EQ(component.id(), component.name());
        EXPECT_TRUE(component.isTracked()) << test.name;
        EXPECT_TRUE(component.selected()) << test.name;
        EXPECT_EQ(utf8Text(component.targetDirectory().text()), test.defaultFolder);

        const Io::Path target = mFolder.path() / test.payloadFolder;
        EXPECT_EQ(install(component, target), OperationResult::Done) << mLogger.printed;
        const std::string folderText = utf8Text(target.text());
        std::string expected = "Component " + std::string(test.name) + " name=" + test.name + " tags=[] version=2\n"
                               "  Directory " + folderText + "/\n";
        for (const std::string& file : test.files) {
            EXPECT_EQ(readBytes(target / file.c_str()), payloadContent(std::string(test.payloadFolder) + "/" + file));
            if (file.find('/') != std::string::npos) {
                expected += "  Directory " + folderText + "/" + file.substr(0, file.find('/') + 1) + "\n";
            }
            expected += "  File " + folderText + "/" + file + "\n";
        }
        EXPECT_EQ(entryOf(component), expected);
    }
    EXPECT_FALSE(Io::isFile(mFolder.path() / "LUT/beside.txt"));
}

std::string readText(const Io::Path& path) {
    std::ifstream file(path.toNative().text());
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> programBytes(const char* name) {
    const std::string bytes = readBytes(WinApi::executablePath().parent() / name);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

// The redistributable's installer in the payload is one of the test programs: the fake, which
// appends its arguments to TARVIO_FAKE_REDIST_LOG and ends at once, or the sleeper, which runs
// until it is ended.
class RedistributableTest : public ComponentTest {
protected:
    explicit RedistributableTest(const char* program = "fakeredist.exe")
        : ComponentTest({PackWriter::stored("dependencies/vc_redist.2017.x64.exe", programBytes(program))}) {
        SetEnvironmentVariableW(L"TARVIO_FAKE_REDIST_LOG", runLog().toNative().text());
    }
    ~RedistributableTest() override {
        SetEnvironmentVariableW(L"TARVIO_FAKE_REDIST_LOG", nullptr);
        SetEnvironmentVariableW(L"TARVIO_TEST_REDIST", nullptr);
        endProcessesNamed(L"vc_redist.x64.exe");
    }

    Io::Path runLog() const { return mFolder.path() / "redist-runs.txt"; }
    Io::Path extracted() const { return mComponent.targetDirectory() / "vc_redist.x64.exe"; }

    // As the install flow does for an untracked component: no entry, and its own folder.
    OperationResult installRedistributable() {
        EXPECT_FALSE(mComponent.isTracked());
        return install(mComponent, mComponent.targetDirectory());
    }

    VsRedistributablesComponent mComponent;
};

TEST_F(RedistributableTest, RunsTheExtractedInstallerQuietlyAndLeavesItToTheTemporaryFiles) {
    EXPECT_EQ(utf8Text(mComponent.name()), "Microsoft Dependencies");
    EXPECT_TRUE(mComponent.selected());
    const Result<Io::Path> temporary = Io::temporaryDirectory();
    ASSERT_TRUE(temporary.ok());
    EXPECT_EQ(mComponent.targetDirectory(), temporary.value());

    EXPECT_EQ(installRedistributable(), OperationResult::Done) << mLogger.printed;
    EXPECT_EQ(mLogger.printed, "Installing Microsoft Dependencies... done\n");
    EXPECT_EQ(readText(runLog()), "/install /quiet /norestart\n");
    EXPECT_TRUE(Io::isFile(extracted()));
    EXPECT_EQ(describe(mDatabase), "");

    ASSERT_TRUE(mEnvironment->hasTemporaryFiles());
    mEnvironment->deleteTemporaryFiles();
    EXPECT_FALSE(Io::isFile(extracted()));
}

TEST_F(RedistributableTest, RunsFromTheFolderItIsGivenOrFailsWithThatFoldersError) {
    const Result<Io::Path> folder = WinApi::createAdministratorsOnlyFolder(mFolder.path());
    ASSERT_TRUE(folder.ok()) << utf8Text(folder.error());
    mComponent.setRunFolder(folder);
    EXPECT_EQ(installRedistributable(), OperationResult::Done) << mLogger.printed;
    EXPECT_EQ(readText(runLog()), "/install /quiet /norestart\n");
    EXPECT_TRUE(Io::isFile(folder.value() / "vc_redist.x64.exe"));
    EXPECT_FALSE(Io::isFile(extracted()));
    mEnvironment->deleteTemporaryFiles();
    EXPECT_FALSE(Io::isFile(folder.value() / "vc_redist.x64.exe"));

    mLogger.printed.clear();
    mComponent.setRunFolder(Result<Io::Path>::fromError(L"Failed to create directory X: denied"));
    EXPECT_EQ(installRedistributable(), OperationResult::Failed);
    EXPECT_EQ(mLogger.printed, "Installing Microsoft Dependencies... [error] Failed to create directory X: denied\n"
                               "[error] Failed to extract installer vc_redist.x64.exe\n"
                               "[error] Operation result: failed\n");
    EXPECT_EQ(readText(runLog()), "/install /quiet /norestart\n");
}

TEST_F(RedistributableTest, WithoutAHandleOfTheStartedInstallerNoWaitIsClaimed) {
    SetEnvironmentVariableW(L"TARVIO_TEST_REDIST", L"no-handle");
    EXPECT_EQ(installRedistributable(), OperationResult::Warnings);
    EXPECT_EQ(mLogger.printed, "Installing Microsoft Dependencies... [warning] Installer vc_redist.x64.exe was "
                               "started, but could not be waited for.\n[warning] Operation result: warnings\n");
}

TEST_F(RedistributableTest, UnpackOnlyWritesTheInstallerUnderItsPayloadName) {
    EXPECT_EQ(unpack(mComponent, folder()), OperationResult::Done);
    EXPECT_EQ(readBytes(folder() / "vc_redist.2017.x64.exe"),
              readBytes(WinApi::executablePath().parent() / "fakeredist.exe"));
    EXPECT_FALSE(Io::isFile(extracted()));
    EXPECT_FALSE(Io::isFile(runLog()));
    EXPECT_FALSE(mEnvironment->hasTemporaryFiles());
}

class SlowRedistributableTest : public RedistributableTest {
protected:
    SlowRedistributableTest() : RedistributableTest("tarviodeploy_test_sleeper.exe") {}
};

TEST_F(SlowRedistributableTest, AnInstallerStillRunningAfterTheWaitIsAWarningAndKeepsRunning) {
    SetEnvironmentVariableW(L"TARVIO_TEST_REDIST", L"short-wait");
    EXPECT_EQ(installRedistributable(), OperationResult::Warnings);
    EXPECT_EQ(mLogger.printed, "Installing Microsoft Dependencies... [warning] Installer vc_redist.x64.exe did not "
                               "finish within 60 seconds.\n[warning] Operation result: warnings\n");
    EXPECT_TRUE(isProcessRunning(L"vc_redist.x64.exe")); // detached: left running
}

class BrokenRedistributableTest : public ComponentTest {
protected:
    BrokenRedistributableTest()
        : ComponentTest({PackWriter::stored("dependencies/vc_redist.2017.x64.exe", bytesOf("not a program"))}) {}
};

TEST_F(BrokenRedistributableTest, AnInstallerThatCannotBeStartedIsTwoErrors) {
    VsRedistributablesComponent component;
    EXPECT_EQ(install(component, folder()), OperationResult::Failed);
    const std::string native = utf8Text((folder() / "vc_redist.x64.exe").toNative());
    EXPECT_EQ(mLogger.printed, "Installing Microsoft Dependencies... [error] Failed to run installer "
                               "vc_redist.x64.exe:\n[error] Can't start " + native + " as process.\n"
                               "[error] Operation result: failed\n");
}

class MissingRedistributableTest : public ComponentTest {
protected:
    MissingRedistributableTest() : ComponentTest({}) {}
};

TEST_F(MissingRedistributableTest, IsTheContextsErrorAndTheComponents) {
    VsRedistributablesComponent component;
    EXPECT_EQ(install(component, folder()), OperationResult::Failed);
    EXPECT_NE(mLogger.printed.find("[error] Failed to install file "), std::string::npos) << mLogger.printed;
    EXPECT_NE(mLogger.printed.find("\n[error] Failed to extract installer vc_redist.x64.exe\n"), std::string::npos)
        << mLogger.printed;
}

} // namespace
} // namespace Tarvio
