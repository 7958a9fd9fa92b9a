#include "tarviodeploy/installer/installcontext.h"

#include "tests/support/databasedescription.h"
#include "tests/support/deploymenttesting.h"
#include "tools/packwriter/packwriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Tarvio {
namespace {

using namespace Testing;
namespace Registry = WinApi::Registry;

std::vector<uint8_t> bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

class InstallContextTest : public ::testing::Test {
protected:
    InstallContextTest() {
        std::vector<PackWriter::Record> records = {
            PackWriter::stored("tool.exe", bytes("MZ tool")),
            PackWriter::compressed("tools/a.txt", bytes("a")),
            PackWriter::stored("tools/sub/b.txt", bytes("b")),
            PackWriter::stored("toolsbeside.txt", bytes("not in tools")),
            PackWriter::stored("dependencies/wxmsw310u_vc_tarvio_v141.dll", bytes("wx")),
            PackWriter::stored("dependencies/TarvioOpenExr2-v141-x64-Release.dll", bytes("exr")),
            PackWriter::stored("Tarvio_Release.dll", bytes("renderer")),
            PackWriter::stored("TarvioLib_Release.dll", bytes("lib")),
        };
        mPack = PackWriter::pack(records);
        mEnvironment = makeUnique<DeploymentEnvironment>(mPack.data(), static_cast<int32_t>(mPack.size()));
        mContext = makeUnique<InstallContext>(&mLogger, mEnvironment.get(), &mDatabase, 2, L"2");
    }

    Io::Path folder() const { return mFolder.path() / "Component"; }

    std::string under(const char* relative) const { return utf8Text((folder() / relative).text()); }

    SharedPtr<DatabaseComponentEntry> begin(const char* id) {
        const SharedPtr<DatabaseComponentEntry> entry = mDatabase.createComponent(id, id, L"2");
        entry->setCorrupted(false);
        mContext->beginComponent(id, folder(), entry);
        return entry;
    }

    TemporaryFolder mFolder{"installcontext"};
    TestRegistryKey mKey{"InstallContext"};
    RecordingLogger mLogger;
    Database mDatabase;
    std::vector<uint8_t> mPack;
    UniquePtr<DeploymentEnvironment> mEnvironment;
    UniquePtr<InstallContext> mContext;
};

TEST_F(InstallContextTest, RecordsEachInstalledFileAndCreatedFolderInTheComponentsEntry) {
    begin("X");
    const Result<Io::Path> installed = mContext->installFile(L"bin\\deep/tool.exe", L"tool.exe", 0);
    ASSERT_TRUE(installed.ok()) << utf8Text(installed.error());
    EXPECT_EQ(installed.value(), (folder() / "bin/deep/tool.exe").absolute());
    EXPECT_EQ(readBytes(installed.value()), "MZ tool");
    mContext->installFile(L"bin/again.exe", L"tool.exe", 0);
    EXPECT_EQ(mContext->componentResult(), OperationResult::Done);

    EXPECT_EQ(describe(mDatabase), "Component X name=X tags=[] version=2\n"
                                   "  Directory " + under("") + "/\n" +
                                   "  Directory " + under("bin/") + "\n" +
                                   "  Directory " + under("bin/deep/") + "\n" +
                                   "  File " + utf8Text(installed.value().text()) + "\n" +
                                   "  File " + utf8Text((folder() / "bin/again.exe").absolute().text()) + "\n");
    EXPECT_EQ(mLogger.printed, "Installing X... done\n");
    EXPECT_EQ(mContext->severity(), OperationResult::Done);
}

TEST_F(InstallContextTest, FlaggedFilesAreNotRecordedButTheirFoldersAre) {
    begin("X");
    mContext->installFile(L"temp/tool.exe", L"tool.exe", InstallFileFlags::Temporary);
    mContext->installFile(L"startup/tool.exe", L"tool.exe", InstallFileFlags::NotRecorded);
    mContext->componentResult();
    EXPECT_EQ(describe(mDatabase), "Component X name=X tags=[] version=2\n"
                                   "  Directory " + under("") + "/\n" +
                                   "  Directory " + under("temp/") + "\n" +
                                   "  Directory " + under("startup/") + "\n");
    EXPECT_TRUE(mEnvironment->hasTemporaryFiles());
    EXPECT_TRUE(Io::isFile(folder() / "startup/tool.exe"));
}

TEST_F(InstallContextTest, FailedExtractionIsAnErrorAndStillRecorded) {
    begin("X");
    const Result<Io::Path> installed = mContext->installFile(L"missing.dll", L"missing.dll", 0);
    ASSERT_FALSE(installed.ok());
    EXPECT_EQ(mContext->componentResult(), OperationResult::Failed);
    EXPECT_EQ(mContext->severity(), OperationResult::Failed);
    EXPECT_EQ(mLogger.printed, "Installing X... [error] " + utf8Text(installed.error()) +
                                   "\n[error] Operation result: failed\n");
    EXPECT_NE(utf8Text(installed.error()).find("Failed to install file "), std::string::npos);
    EXPECT_NE(describe(mDatabase).find("  File " + under("missing.dll")), std::string::npos);
}

TEST_F(InstallContextTest, ADestinationLeadingOutsideTheComponentsFolderIsAFailedFileAndNotWritten) {
    for (const char* destination : {"../escape.txt", "bin/../../escape.txt", "bin\\..\\..\\escape.txt",
                                    "bin/C:/escape.txt", "bin/.../escape.txt", "bin/NUL"}) {
        mLogger.printed.clear();
        const SharedPtr<DatabaseComponentEntry> entry = begin("X");
        const Result<Io::Path> installed = mContext->installFile(destination, L"tool.exe", 0);
        ASSERT_FALSE(installed.ok()) << destination;
        const std::string error = "Failed to install file " + utf8Text((folder() / destination).toNative().text()) +
                                  ": the name leads outside the folder " + utf8Text(folder().toNative().text());
        EXPECT_EQ(utf8Text(installed.error()), error);
        EXPECT_EQ(mContext->componentResult(), OperationResult::Failed);
        EXPECT_EQ(mLogger.printed, "Installing X... [error] " + error + "\n[error] Operation result: failed\n");
        EXPECT_EQ(describe(*entry, ""), "Component X name=X tags=[] version=2\n") << destination;
    }
    EXPECT_FALSE(Io::isFile(mFolder.path() / "escape.txt"));
    EXPECT_FALSE(Io::isDirectory(folder()));
}

TEST_F(InstallContextTest, WithoutEntryNothingIsRecorded) {
    mContext->beginComponent(L"Uninstaller", folder(), nullptr);
    mContext->installFile(L"sub/tool.exe", L"tool.exe", 0);
    mContext->recordFile(L"log.txt");
    mContext->componentResult();
    EXPECT_EQ(describe(mDatabase), "");
    EXPECT_TRUE(Io::isFile(folder() / "sub/tool.exe"));
}

TEST_F(InstallContextTest, RecordFileTakesRelativePathsUnderTheComponent) {
    const SharedPtr<DatabaseComponentEntry> entry = begin("X");
    mContext->recordFile(L"LicensingServerLog.txt");
    mContext->recordFile(L"C:\\ProgramData\\log.txt");
    EXPECT_EQ(describe(*entry, ""), "Component X name=X tags=[] version=2\n"
                                    "  File " + under("LicensingServerLog.txt") + "\n" +
                                    "  File C:/ProgramData/log.txt\n");
    EXPECT_FALSE(Io::isFile(folder() / "LicensingServerLog.txt"));
}

TEST_F(InstallContextTest, RendererLibrariesAreAllAttempted) {
    begin("X");
    // Tarviotbb is not in the payload.
    EXPECT_FALSE(mContext->installRendererLibraries(L""));
    EXPECT_EQ(mContext->componentResult(), OperationResult::Failed);
    for (const char* name : {"wxmsw310u_vc_tarvio_v141.dll", "TarvioOpenExr2-v141-x64-Release.dll",
                             "Tarvio_Release.dll", "TarvioLib_Release.dll"}) {
        EXPECT_TRUE(Io::isFile(folder() / name)) << name;
    }
    EXPECT_FALSE(Io::isFile(folder() / "Tarviotbb-v141-x64-Release.dll"));
    EXPECT_NE(mLogger.printed.find("Tarviotbb-v141-x64-Release.dll"), std::string::npos);
}

TEST_F(InstallContextTest, DirectoryLayoutIsTheSameWithOrWithoutTrailingSlash) {
    begin("X");
    mContext->installDirectory(L"plain", L"tools", 0);
    mContext->installDirectory(L"slashed", L"tools/", 0);
    EXPECT_EQ(mContext->componentResult(), OperationResult::Done);
    for (const char* copy : {"plain", "slashed"}) {
        EXPECT_EQ(readBytes(folder() / copy / "a.txt"), "a") << copy;
        EXPECT_EQ(readBytes(folder() / copy / "sub/b.txt"), "b") << copy;
        EXPECT_FALSE(Io::isFile(folder() / copy / "beside.txt")) << copy;
    }
}

TEST_F(InstallContextTest, RegistryWritesGoToTheComponentBeingInstalledElseTheGlobalList) {
    const String existing = mKey.path();
    const String created = mKey.path() + "\\Created";
    const String direct = mKey.path() + "\\Direct";
    EXPECT_TRUE(mContext->writeRegistryString(existing, L"Before", L"b"));

    const SharedPtr<DatabaseComponentEntry> entry = begin("X");
    EXPECT_TRUE(mContext->writeRegistryString(existing, L"Text", L"t"));
    EXPECT_TRUE(mContext->writeRegistryDword(created, L"Number", 7));
    EXPECT_TRUE(mContext->writeRegistryPath(created, L"Folder", L"C:/Program Files/Tarvio"));
    // Changes made past the context are recorded all the same; deletions are not.
    Registry::createKey(direct);
    Registry::writeString(direct, L"Association", L"a");
    Registry::deleteValue(direct, L"Association");
    mContext->componentResult();

    EXPECT_TRUE(mContext->writeRegistryString(existing, L"Between", L"b"));
    mContext.reset();
    Registry::writeString(existing, L"Afterwards", L"a");

    const std::string key = utf8Text(existing);
    EXPECT_EQ(describe(mDatabase), "RegistryValue " + key + " : Before\n"
                                   "RegistryValue " + key + " : Between\n"
                                   "Component X name=X tags=[] version=2\n"
                                   "  RegistryValue " + key + " : Text\n"
                                   "  RegistryKey " + key + "\\Created\n"
                                   "  RegistryValue " + key + "\\Created : Number\n"
                                   "  RegistryValue " + key + "\\Created : Folder\n"
                                   "  RegistryKey " + key + "\\Direct\n"
                                   "  RegistryValue " + key + "\\Direct : Association\n");
    EXPECT_EQ(Registry::readDword(created, L"Number").valueOr(0), 7u);
    EXPECT_EQ(utf8Text(Registry::readString(created, L"Folder").valueOr(L"")), "C:\\Program Files\\Tarvio");
}

TEST_F(InstallContextTest, KeyThatCannotBeCreatedOnlyAnswersFalse) {
    begin("X");
    EXPECT_FALSE(mContext->writeRegistryString(mKey.path() + "\\Missing\\Child", L"Value", L"v"));
    EXPECT_EQ(mContext->componentResult(), OperationResult::Done);
    EXPECT_EQ(mLogger.printed, "Installing X... done\n");
}

TEST_F(InstallContextTest, SeverityCoversTheRunAndEachResultItsComponent) {
    begin("A");
    mContext->warning(L"careful");
    EXPECT_EQ(mContext->componentResult(), OperationResult::Warnings);
    begin("B");
    mContext->info(L"fine");
    EXPECT_EQ(mContext->componentResult(), OperationResult::Done);
    EXPECT_EQ(mContext->severity(), OperationResult::Warnings);
    begin("C");
    mContext->error(L"broken");
    EXPECT_EQ(mContext->componentResult(), OperationResult::Failed);
    EXPECT_EQ(mContext->severity(), OperationResult::Failed);
    EXPECT_EQ(mLogger.printed, "Installing A... [warning] careful\n[warning] Operation result: warnings\n"
                               "Installing B... fine\nOperation result: done\n"
                               "Installing C... [error] broken\n[error] Operation result: failed\n");
    EXPECT_EQ(utf8Text(mContext->targetDirectory().text()), utf8Text(folder().text()));
}

} // namespace
} // namespace Tarvio
