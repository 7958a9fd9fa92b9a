// Winsock before anything that brings the platform's header.
#include "tests/support/localhttpserver.h"

#include "tarviodeploy/installer/additionalinstallerdata.h"
#include "tarviodeploy/installer/installcontext.h"
#include "tarviodeploy/installer/materiallibrarycomponent.h"
#include "tarviolib/core/badalloc.h"
#include "tarviolib/core/formatting.h"
#include "tarviolib/core/function.h"
#include "tarviolib/core/heapallocator.h"
#include "tarviolib/winapi/environment.h"
#include "tests/support/deploymenttesting.h"
#include "tools/packwriter/packwriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace Tarvio {
namespace {

using namespace Testing;

const char* const PackPath = "/3dsmax/2/MaterialLibrary";

std::vector<uint8_t> bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::string materialPack() {
    const std::vector<uint8_t> pack = PackWriter::pack({
        PackWriter::compressed("materials/Metals/Steel.mat", bytes("steel")),
        PackWriter::stored("materials/README.txt", bytes("read me")),
    });
    return std::string(pack.begin(), pack.end());
}

// A logger of the graphical kind: it also keeps each progress text.
class GuiLogger : public RecordingLogger {
public:
    bool isGui() const override { return true; }
    void updateProgress(const String& text) override { progress.push_back(utf8Text(text)); }

    std::vector<std::string> progress;
};

// A working folder and a temporary folder of the test's own, the installer web server pointed at
// base, and an install context made afresh for each logger.
class AdditionalInstallerDataTest : public ::testing::Test {
protected:
    AdditionalInstallerDataTest() {
        Io::createDirectories(work());
        Io::createDirectories(temp());
        wchar_t current[MAX_PATH];
        GetCurrentDirectoryW(MAX_PATH, current);
        mPreviousDirectory = current;
        SetCurrentDirectoryW(work().toNative().text());
        for (const wchar_t* variable : TemporaryVariables) {
            mPreviousTemporary.push_back(WinApi::environmentVariable(variable));
            SetEnvironmentVariableW(variable, temp().toNative().text());
        }
    }

    ~AdditionalInstallerDataTest() override {
        mContext.reset();
        mEnvironment.reset();
        SetCurrentDirectoryW(mPreviousDirectory.c_str());
        for (size_t i = 0; i < mPreviousTemporary.size(); ++i) {
            const Optional<String>& previous = mPreviousTemporary[i];
            SetEnvironmentVariableW(TemporaryVariables[i], previous ? previous->text() : nullptr);
        }
        SetEnvironmentVariableW(L"TARVIO_TEST_INSTALLER_DATA_URL", nullptr);
    }

    Io::Path work() const { return mFolder.path() / "work"; }
    Io::Path temp() const { return mFolder.path() / "temp"; }

    InstallContext& context(const std::string& server, InstallerLogger& logger) {
        SetEnvironmentVariableW(L"TARVIO_TEST_INSTALLER_DATA_URL", String(server.c_str()).text());
        mContext = makeUnique<InstallContext>(&logger, mEnvironment.get(), &mDatabase, 2, L"2");
        return *mContext;
    }

    InstallContext& context(const LocalHttpServer& server) { return context(server.url(""), mLogger); }

    std::vector<std::string> payloadFiles() const {
        std::vector<std::string> files;
        for (const String& file : mEnvironment->listFiles(L"materials", true, {})) {
            files.push_back(utf8Text(file));
        }
        return files;
    }

    size_t temporaryFileCount() const {
        return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(temp().toNative().text()),
                                                 std::filesystem::directory_iterator()));
    }

    static constexpr const wchar_t* TemporaryVariables[] = {L"TMP", L"TEMP"};

    TemporaryFolder mFolder{"additionaldata"};
    std::wstring mPreviousDirectory;
    std::vector<Optional<String>> mPreviousTemporary;
    RecordingLogger mLogger;
    Database mDatabase;
    std::vector<uint8_t> mEmbedded = PackWriter::pack({PackWriter::stored("readme.txt", bytes("embedded"))});
    UniquePtr<DeploymentEnvironment> mEnvironment =
        makeUnique<DeploymentEnvironment>(mEmbedded.data(), static_cast<int32_t>(mEmbedded.size()));
    UniquePtr<InstallContext> mContext;
};

const std::vector<std::string> MaterialFiles = {"materials/Metals/Steel.mat", "materials/README.txt"};

TEST_F(AdditionalInstallerDataTest, LocalFileTakesThePlaceOfTheServer) {
    writeBytes(work() / "MaterialLibrary", materialPack());
    LocalHttpServer server([](const LocalHttpServer::Request&) { return LocalHttpServer::file(materialPack()); });
    InstallContext& installContext = context(server);

    EXPECT_TRUE(installContext.downloadAdditionalData(L"MaterialLibrary"));
    const Result<String> version = installContext.remoteVersion(L"MaterialLibrary");
    ASSERT_FALSE(version.ok());
    EXPECT_EQ(utf8Text(version.error()), "Using local file override, the version is not known.");

    EXPECT_EQ(mLogger.printed, "Using local file MaterialLibrary instead of downloading the file from web.\n");
    EXPECT_EQ(payloadFiles(), MaterialFiles);
    EXPECT_TRUE(server.requests().empty());
    mEnvironment.reset();
    EXPECT_TRUE(Io::isFile(work() / "MaterialLibrary"));
}

TEST_F(AdditionalInstallerDataTest, DownloadAddsThePackAndReportsItsProgress) {
    const std::string pack = materialPack();
    const std::string size = utf8Text(formatByteSize(pack.size()));
    struct Case {
        bool gui;
        bool withLength;
        std::string first;
        std::string lastProgress;
    } cases[] = {
        {false, true, "Downloading additional installer data " + size + "\n", ""},
        {false, false, "Downloading additional installer data \n", ""},
        {true, true, "Downloading additional installer data (0 B / " + size + ")\n",
         "Downloading additional installer data (" + size + " / " + size + ")"},
        {true, false, "Downloading additional installer data (0 B)\n",
         "Downloading additional installer data (" + size + ")"},
    };
    for (const Case& test : cases) {
        mEnvironment = makeUnique<DeploymentEnvironment>(mEmbedded.data(), static_cast<int32_t>(mEmbedded.size()));
        LocalHttpServer server([&](const LocalHttpServer::Request&) {
            return test.withLength ? LocalHttpServer::file(pack) : LocalHttpServer::reply("200 OK", {}, pack);
        });
        GuiLogger gui;
        RecordingLogger console;
        InstallerLogger& logger = test.gui ? static_cast<InstallerLogger&>(gui) : console;
        const std::string label = std::string(test.gui ? "gui" : "console") + (test.withLength ? " with length" : "");

        EXPECT_TRUE(context(server.url(""), logger).downloadAdditionalData(L"MaterialLibrary")) << label;
        EXPECT_EQ((test.gui ? gui : console).printed, test.first) << label;
        if (test.gui) {
            ASSERT_FALSE(gui.progress.empty()) << label;
            EXPECT_EQ(gui.progress.back(), test.lastProgress) << label;
        }
        EXPECT_EQ(payloadFiles(), MaterialFiles) << label;
        ASSERT_EQ(server.requests().size(), 1u) << label;
        EXPECT_EQ(server.requests()[0].target, PackPath) << label;
        // The downloaded pack lives as long as the payload.
        EXPECT_EQ(temporaryFileCount(), 1u) << label;
        mContext.reset();
        mEnvironment.reset();
        EXPECT_EQ(temporaryFileCount(), 0u) << label;
    }
}

TEST_F(AdditionalInstallerDataTest, FailedDownloadIsReportedAndLeavesNothingBehind) {
    const uint16_t closedPort = LocalHttpServer::unusedPort();
    struct Case {
        const char* name;
        LocalHttpServer::Reply reply;
        bool serverDown;
        std::string message; // the start of the failure's text
    } cases[] = {
        {"refused pack", LocalHttpServer::file("not a pack at all"), false, ""},
        {"broken off", LocalHttpServer::reply("200 OK", {"Content-Length: 4096"}, "PACK"), false,
         "Failed to read the response to the GET request to "},
        {"server down", LocalHttpServer::file(""), true,
         "Failed to send GET request to http://127.0.0.1:" + std::to_string(closedPort) + PackPath},
    };
    for (const Case& test : cases) {
        LocalHttpServer server([&](const LocalHttpServer::Request&) { return test.reply; });
        const std::string base = test.serverDown ? "http://127.0.0.1:" + std::to_string(closedPort) : server.url("");
        RecordingLogger logger;
        InstallContext& installContext = context(base, logger);
        EXPECT_FALSE(installContext.downloadAdditionalData(L"MaterialLibrary")) << test.name;

        const std::string failure = "[error] Failed to download additional installer data (MaterialLibrary): ";
        // After the first report, if any: the download failed on its way.
        EXPECT_NE(logger.printed.find(failure + test.message), std::string::npos)
            << test.name << ": " << logger.printed;
        EXPECT_EQ(installContext.severity(), OperationResult::Failed) << test.name;
        EXPECT_TRUE(payloadFiles().empty()) << test.name;
        EXPECT_EQ(temporaryFileCount(), 0u) << test.name;
    }
}

TEST_F(AdditionalInstallerDataTest, RemoteVersionIsTheEtagAsSentWithoutReadingTheBody) {
    struct Case {
        LocalHttpServer::Reply reply;
        bool ok;
        std::string answer;
    } cases[] = {
        {LocalHttpServer::file(materialPack(), {"ETag: W/\"ml-7\""}), true, "W/\"ml-7\""},
        {LocalHttpServer::file(materialPack()), false, "bad_optional_access"},
    };
    for (const Case& test : cases) {
        LocalHttpServer server([&](const LocalHttpServer::Request&) { return test.reply; });
        const Result<String> version = context(server).remoteVersion(L"MaterialLibrary");
        EXPECT_EQ(version.ok(), test.ok);
        EXPECT_EQ(utf8Text(version.ok() ? version.value() : version.error()), test.answer);
        ASSERT_EQ(server.requests().size(), 1u);
        EXPECT_EQ(server.requests()[0].target, PackPath);
    }
    EXPECT_EQ(mLogger.printed, "");
}

TEST_F(AdditionalInstallerDataTest, OutOfMemoryPassesInsteadOfBeingReportedAsAnUnknownError) {
    // The local file's road: each allocation of the operation in turn fails, with no server to wait for.
    writeBytes(work() / "MaterialLibrary", materialPack());
    const String name(L"MaterialLibrary");
    const struct {
        const char* operation;
        Function<void(InstallContext&)> call;
    } operations[] = {
        {"downloadAdditionalData", [&name](InstallContext& context) { context.downloadAdditionalData(name); }},
        {"remoteVersion", [&name](InstallContext& context) { context.remoteVersion(name); }},
    };
    for (const auto& operation : operations) {
        SCOPED_TRACE(operation.operation);
        int32_t failures = 0;
        for (int32_t after = 0;; ++after) {
            mContext.reset();
            mEnvironment = makeUnique<DeploymentEnvironment>(mEmbedded.data(), static_cast<int32_t>(mEmbedded.size()));
            RecordingLogger logger;
            InstallContext& installContext = context("http://127.0.0.1:1", logger);
            HeapAllocator::failAllocationAfter(after);
            try {
                operation.call(installContext);
                if (HeapAllocator::failAllocationAfter(-1) >= 0) {
                    break; // done before the failing allocation
                }
                ADD_FAILURE() << "allocation " << after << " failed without BadAlloc: " << logger.printed;
            } catch (const BadAlloc&) {
                ++failures;
                EXPECT_EQ(installContext.severity(), OperationResult::Done) << "allocation " << after;
            }
        }
        EXPECT_GT(failures, 0);
    }
}

TEST_F(AdditionalInstallerDataTest, BaseAddressIsTheInstallerWebServersUnlessATestNamesOne) {
    SetEnvironmentVariableW(L"TARVIO_TEST_INSTALLER_DATA_URL", nullptr);
    EXPECT_EQ(utf8Text(additionalDataBaseUrl(2, L"2")), "https://installer-data.tarvio.example/3dsmax/2/");
    SetEnvironmentVariableW(L"TARVIO_TEST_INSTALLER_DATA_URL", L"http://127.0.0.1:8080");
    EXPECT_EQ(utf8Text(additionalDataBaseUrl(2, L"2")), "http://127.0.0.1:8080/3dsmax/2/");
    EXPECT_EQ(utf8Text(additionalDataBaseUrl(14, L"3")), "http://127.0.0.1:8080/[ERROR]/3/");
}

TEST_F(AdditionalInstallerDataTest, MaterialLibraryInstallsTheDownloadedMaterialsAsTheServersVersion) {
    LocalHttpServer server([](const LocalHttpServer::Request&) {
        return LocalHttpServer::file(materialPack(), {"ETag: \"ml-1\""});
    });
    InstallContext& installContext = context(server);
    MaterialLibraryComponent library;
    EXPECT_EQ(utf8Text(library.version(installContext).valueOr(L"none")), "\"ml-1\"");

    const Io::Path folder = mFolder.path() / "materials";
    const SharedPtr<DatabaseComponentEntry> entry =
        mDatabase.createComponent(library.id(), library.name(), L"\"ml-1\"");
    ASSERT_TRUE(library.prepareInstall(installContext));
    installContext.beginComponent(library.name(), folder, entry);
    library.install(installContext);
    EXPECT_EQ(installContext.componentResult(), OperationResult::Done);
    EXPECT_EQ(readBytes(folder / "Metals/Steel.mat"), "steel");
    EXPECT_EQ(readBytes(folder / "README.txt"), "read me");
    // Asked for its version, and fetched once.
    EXPECT_EQ(server.requests().size(), 2u);
}

TEST_F(AdditionalInstallerDataTest, MaterialLibraryWithoutItsDataIsNotPrepared) {
    const std::string down = "http://127.0.0.1:" + std::to_string(LocalHttpServer::unusedPort());
    InstallContext& installContext = context(down, mLogger);
    MaterialLibraryComponent library;
    // No version to compare: the flow would reinstall it, and prepareInstall keeps the old one.
    EXPECT_EQ(utf8Text(library.version(installContext).valueOr(L"none")), "");
    EXPECT_FALSE(library.prepareInstall(installContext));
    EXPECT_EQ(mLogger.printed.rfind("[error] Failed to download additional installer data (MaterialLibrary): ", 0), 0u);
}

TEST_F(AdditionalInstallerDataTest, MaterialLibraryUnpacksWhatTheDataHolds) {
    writeBytes(work() / "MaterialLibrary", materialPack());
    InstallContext& installContext = context("http://127.0.0.1:1", mLogger);
    MaterialLibraryComponent library;
    const Io::Path folder = mFolder.path() / "unpack" / "Material Library";
    installContext.beginComponent(library.name(), folder, SharedPtr<DatabaseComponentEntry>());
    library.unpack(installContext);
    EXPECT_EQ(installContext.componentResult(), OperationResult::Done);
    EXPECT_EQ(readBytes(folder / "Metals/Steel.mat"), "steel");
    EXPECT_EQ(mLogger.printed, "Installing Material Library... Using local file MaterialLibrary instead of downloading "
                               "the file from web.\nOperation result: done\n");
}

} // namespace
} // namespace Tarvio
