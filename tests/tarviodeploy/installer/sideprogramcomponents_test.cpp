#include "tarviodeploy/installer/drservercomponent.h"
#include "tarviodeploy/installer/imageeditorcomponent.h"
#include "tarviodeploy/installer/licensingservercomponent.h"
#include "tarviodeploy/installer/standalonecomponent.h"
#include "tarviodeploy/shared/legacyinstallation.h"
#include "tarviolib/winapi/knownfolders.h"
#include "tarviolib/winapi/module.h"
#include "tests/support/componenttesting.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace Tarvio {
namespace {

using namespace Testing;
namespace Registry = WinApi::Registry;

const wchar_t* const productKey = L"HKEY_LOCAL_MACHINE\\Software\\TarvioRenderer";
const std::string classes = "HKEY_CURRENT_USER\\SOFTWARE\\Classes\\";

const std::vector<std::string> programPayload = {"DrServer_Release.exe", "LicensingServer_Release.exe",
                                                 "TarvioStandalone_Release.exe",
                                                 "TarvioImageEditor.Cli_x64_Release.exe",
                                                 "TarvioImageEditor.Gui_x64_Release.exe"};

std::vector<std::string> sideProgramPayload() {
    std::vector<std::string> names = programPayload;
    names.insert(names.end(), rendererLibraries.begin(), rendererLibraries.end());
    return names;
}

std::string registryText(const std::string& key, const String& valueName) {
    return utf8Text(Registry::readString(String::fromUtf8(key.c_str()), valueName).valueOr(L"<none>"));
}

// The records that registering the association of one extension adds to an entry.
std::string associationRecords(const std::string& programId, const std::string& extension) {
    const std::string program = classes + programId;
    return "  RegistryKey " + classes + "." + extension + "\n" +
           "  RegistryValue " + classes + "." + extension + " : \n" +
           "  RegistryKey " + program + "\n" +
           "  RegistryKey " + program + "\\shell\n" +
           "  RegistryKey " + program + "\\shell\\open\n" +
           "  RegistryKey " + program + "\\shell\\open\\command\n" +
           "  RegistryValue " + program + "\\shell\\open\\command : \n" +
           "  RegistryKey " + program + "\\DefaultIcon\n" +
           "  RegistryValue " + program + "\\DefaultIcon : \n";
}

// The extension's association values when they are ours for program, "<none>" where absent.
std::string associationOf(const std::string& programId, const std::string& extension) {
    return registryText(classes + "." + extension, L"") + " | " +
           registryText(classes + programId + "\\shell\\open\\command", L"") + " | " +
           registryText(classes + programId + "\\DefaultIcon", L"");
}

std::string ourAssociation(const std::string& programId, const Io::Path& program) {
    const std::string native = utf8Text(program.toNative());
    return programId + " | \"" + native + "\" \"%1\" | " + native + ",0";
}

std::set<std::string> filesBelow(const Io::Path& folder) {
    std::set<std::string> files;
    std::error_code ignored;
    for (const auto& item : std::filesystem::recursive_directory_iterator(folder.toNative().text(), ignored)) {
        if (item.is_regular_file()) {
            files.insert(std::filesystem::relative(item.path(), folder.toNative().text()).generic_string());
        }
    }
    return files;
}

// The product key exists, as the install flow creates it first; the value the standalone renderer
// writes into it is removed before and after.
class ProductKey {
public:
    ProductKey() : mCreated(!Registry::keyExists(productKey)) {
        Registry::createKey(productKey);
        Registry::deleteValue(productKey, L"StandaloneInstallPath");
    }
    ~ProductKey() {
        Registry::deleteValue(productKey, L"StandaloneInstallPath");
        if (mCreated) {
            Registry::deleteKey(productKey);
        }
    }

private:
    bool mCreated;
};

class SideProgramTest : public ComponentTest {
protected:
    explicit SideProgramTest(const std::vector<std::string>& payload = sideProgramPayload())
        : ComponentTest(payloadRecords(payload)) {}

    // The desktop link of the image editor, removed before and after.
    Io::Path desktopLink() const {
        const Result<Io::Path> desktop = Io::desktopDirectory();
        return desktop.ok() ? desktop.value() / "Tarvio Image Editor.lnk" : Io::Path();
    }
    void useRealKnownFolders() {
        SetEnvironmentVariableW(L"TARVIO_TEST_SYSTEM", nullptr);
        removeDesktopLink();
    }
    void removeDesktopLink() const {
        if (!desktopLink().isEmpty()) {
            DeleteFileW(desktopLink().toNative().text());
        }
    }
    void TearDown() override { removeDesktopLink(); }

    AssociationKeys mKeys{sideProgramAssociationKeys()};
    ProductKey mProductKey;
};

struct SideProgramCase {
    const char* name;
    UniquePtr<Component> (*make)();
    bool selected;
    // Destination in the component folder, and payload file.
    std::vector<std::pair<std::string, std::string>> files;
};

std::vector<std::pair<std::string, std::string>> withRendererLibraries(
    std::vector<std::pair<std::string, std::string>> files) {
    for (const std::string& library : rendererLibraries) {
        files.emplace(files.begin(), std::filesystem::path(library).filename().string(), library);
    }
    return files;
}

const SideProgramCase sidePrograms[] = {
    {"DR Server", [] { return UniquePtr<Component>(makeUnique<DrServerComponent>()); }, true,
     {{"DrServer.exe", "DrServer_Release.exe"}}},
    {"Licensing Server", [] { return UniquePtr<Component>(makeUnique<LicensingServerComponent>()); }, false,
     {{"LicensingServer.exe", "LicensingServer_Release.exe"}}},
    {"Standalone", [] { return UniquePtr<Component>(makeUnique<StandaloneComponent>()); }, true,
     withRendererLibraries({{"Tarvio.exe", "TarvioStandalone_Release.exe"}})},
    {"Image Editor", [] { return UniquePtr<Component>(makeUnique<ImageEditorComponent>()); }, true,
     {{"TarvioImageCmd.exe", "TarvioImageEditor.Cli_x64_Release.exe"},
      {"TarvioImage.exe", "TarvioImageEditor.Gui_x64_Release.exe"}}},
};

TEST_F(SideProgramTest, EachUnpacksItsFilesFromThePayloadAndNothingElse) {
    for (const SideProgramCase& program : sidePrograms) {
        const UniquePtr<Component> component = program.make();
        EXPECT_EQ(utf8Text(component->name()), program.name);
        EXPECT_EQ(component->caption(), component->name());
        EXPECT_EQ(component->id(), component->name());
        EXPECT_TRUE(component->isTracked()) << program.name;
        EXPECT_EQ(component->selected(), program.selected) << program.name;
        EXPECT_EQ(utf8Text(component->targetDirectory().text()), "C:/Program Files/Tarvio") << program.name;

        const Io::Path target = mFolder.path() / program.name;
        EXPECT_EQ(unpack(*component, target), OperationResult::Done) << mLogger.printed;
        std::set<std::string> expected;
        for (const auto& [destination, payload] : program.files) {
            expected.insert(destination);
            EXPECT_EQ(readBytes(target / destination.c_str()), payloadContent(payload)) << destination;
        }
        EXPECT_EQ(filesBelow(target), expected) << program.name;
    }
    for (const char* extension : {"scn", "kxr", "kexr"}) {
        EXPECT_FALSE(Registry::keyExists(String::fromUtf8((classes + "." + extension).c_str()))) << extension;
    }
    EXPECT_FALSE(Registry::valueExists(productKey, L"StandaloneInstallPath"));
}

TEST_F(SideProgramTest, LicensingServerRecordsBothLogFilesWithoutCreatingThem) {
    LicensingServerComponent component;
    EXPECT_EQ(install(component, folder()), OperationResult::Done);
    const Io::Path dataLog = mFolder.path() / "TarvioRenderer/LicensingServerLog.txt";
    EXPECT_EQ(entryOf(component), "Component Licensing Server name=Licensing Server tags=[] version=2\n"
                                  "  Directory " + under("") + "/\n" +
                                  "  File " + under("LicensingServer.exe") + "\n" +
                                  "  File " + under("LicensingServerLog.txt") + "\n" +
                                  "  File " + utf8Text(dataLog.text()) + "\n");
    EXPECT_FALSE(Io::isFile(folder() / "LicensingServerLog.txt"));
    EXPECT_FALSE(Io::isFile(dataLog));
}

TEST_F(SideProgramTest, StandaloneInAnotherFolderNamesItAndRegistersScn) {
    StandaloneComponent component;
    const Io::Path moved = mFolder.path() / "Moved Standalone";
    EXPECT_EQ(install(component, moved), OperationResult::Done);
    EXPECT_EQ(mLogger.printed, "Installing Standalone... done\n");

    const std::string native = utf8Text(moved.toNative());
    EXPECT_EQ(registryText(utf8Text(productKey), L"StandaloneInstallPath"), native);
    EXPECT_EQ(native.find('/'), std::string::npos);
    EXPECT_EQ(associationOf("TarvioStandalone.scn", "scn"),
              ourAssociation("TarvioStandalone.scn", moved / "Tarvio.exe"));

    const std::string folderText = utf8Text(moved.text());
    std::string expected = "Component Standalone name=Standalone tags=[] version=2\n"
                           "  Directory " + folderText + "/\n";
    for (const std::string& library : rendererLibraries) {
        expected += "  File " + folderText + "/" + std::filesystem::path(library).filename().string() + "\n";
    }
    expected += "  File " + folderText + "/Tarvio.exe\n" + associationRecords("TarvioStandalone.scn", "scn") +
                "  RegistryValue " + utf8Text(productKey) + " : StandaloneInstallPath\n" +
                "  File " + folderText + "/TarvioStandalone_log.txt\n";
    EXPECT_EQ(entryOf(component), expected);
}

TEST_F(SideProgramTest, AnExistingScnAssociationIsKeptAndNotReported) {
    for (const char* existing :
         {"HKEY_CURRENT_USER\\Software\\Classes\\.scn", "HKEY_LOCAL_MACHINE\\Software\\Classes\\.scn"}) {
        const AssociationKeys cleanUp(sideProgramAssociationKeys());
        const String key = String::fromUtf8(existing);
        ASSERT_TRUE(Registry::createKey(key).hasValue()) << existing;
        ASSERT_TRUE(Registry::writeString(key, L"", L"OtherProgram.scn"));
        mLogger.printed.clear();

        StandaloneComponent component;
        EXPECT_EQ(install(component, folder()), OperationResult::Done) << existing;
        EXPECT_EQ(mLogger.printed, "Installing Standalone... done\n") << existing;
        EXPECT_EQ(registryText(existing, L""), "OtherProgram.scn") << existing;
        EXPECT_FALSE(Registry::keyExists(String::fromUtf8((classes + "TarvioStandalone.scn").c_str()))) << existing;
        EXPECT_EQ(registryText(utf8Text(productKey), L"StandaloneInstallPath"), utf8Text(folder().toNative()));
    }
}

TEST_F(SideProgramTest, ImageEditorRegistersBothExtensionsAndPutsItsShortcutOnTheDesktop) {
    useRealKnownFolders();
    const Io::Path link = desktopLink();
    ASSERT_FALSE(link.isEmpty());
    ImageEditorComponent component;
    EXPECT_EQ(install(component, folder()), OperationResult::Done) << mLogger.printed;

    const Io::Path program = folder() / "TarvioImage.exe";
    for (const char* extension : {"kxr", "kexr"}) {
        const std::string programId = std::string("TarvioImageEditor.") + extension;
        EXPECT_EQ(associationOf(programId, extension), ourAssociation(programId, program));
    }
    EXPECT_EQ(readLink(link), utf8Text(program.toNative()) + " | Tarvio Image Editor version 2");
    EXPECT_EQ(entryOf(component), "Component Image Editor name=Image Editor tags=[] version=2\n"
                                  "  Directory " + under("") + "/\n" +
                                  "  File " + under("TarvioImageCmd.exe") + "\n" +
                                  "  File " + under("TarvioImage.exe") + "\n" +
                                  associationRecords("TarvioImageEditor.kxr", "kxr") +
                                  associationRecords("TarvioImageEditor.kexr", "kexr") +
                                  "  File " + utf8Text(link.text()) + "\n");
}

TEST_F(SideProgramTest, AShortcutThatCannotBeMadeIsAWarning) {
    // The test folder's known-folder failure: no desktop.
    ImageEditorComponent component;
    EXPECT_EQ(install(component, folder()), OperationResult::Warnings);
    EXPECT_EQ(mLogger.printed, "Installing Image Editor... [warning] Failed to create desktop shortcut: Failed to "
                               "retrieve path to the desktop directory.\n[warning] Operation result: warnings\n");
    EXPECT_EQ(associationOf("TarvioImageEditor.kxr", "kxr"),
              ourAssociation("TarvioImageEditor.kxr", folder() / "TarvioImage.exe"));
}

class SideProgramWithoutProgramsTest : public SideProgramTest {
protected:
    SideProgramWithoutProgramsTest() : SideProgramTest(rendererLibraries) {}
};

TEST_F(SideProgramWithoutProgramsTest, AProgramThatIsMissingGetsNoAssociationsOrShortcut) {
    useRealKnownFolders();
    StandaloneComponent standalone;
    EXPECT_EQ(install(standalone, folder()), OperationResult::Failed);
    EXPECT_FALSE(Registry::keyExists(String::fromUtf8((classes + ".scn").c_str())));
    // The folder value and the log's record come all the same.
    EXPECT_EQ(registryText(utf8Text(productKey), L"StandaloneInstallPath"), utf8Text(folder().toNative()));
    EXPECT_NE(entryOf(standalone).find("  File " + under("TarvioStandalone_log.txt") + "\n"), std::string::npos);

    ImageEditorComponent editor;
    mLogger.printed.clear();
    EXPECT_EQ(install(editor, folder()), OperationResult::Failed);
    for (const char* extension : {"kxr", "kexr"}) {
        EXPECT_FALSE(Registry::keyExists(String::fromUtf8((classes + "." + extension).c_str()))) << extension;
    }
    EXPECT_FALSE(Io::isFile(desktopLink()));
    EXPECT_EQ(mLogger.printed.find("shortcut"), std::string::npos) << mLogger.printed;
}

std::string describeIssues(const PrerequisiteIssues& issues) {
    std::string text;
    for (const PrerequisiteIssues::Entry& issue : issues) {
        text += utf8Text(prerequisiteCategoryNames.name(issue.key)) + ":";
        for (const String& item : issue.value) {
            text += " " + utf8Text(item);
        }
    }
    return text;
}

TEST_F(SideProgramTest, ARunningProgramBlocksItsComponent) {
    const struct {
        const wchar_t* program;
        const SideProgramCase& component;
    } cases[] = {
        {L"DrServer.exe", sidePrograms[0]},      {L"LicensingServer.exe", sidePrograms[1]},
        {L"Tarvio.exe", sidePrograms[2]},        {L"TarvioImage.exe", sidePrograms[3]},
        {L"TarvioImageCmd.exe", sidePrograms[3]},
    };
    const Io::Path sleeper = WinApi::executablePath().parent() / "tarviodeploy_test_sleeper.exe";
    for (const SideProgramCase& program : sidePrograms) {
        EXPECT_EQ(describeIssues(program.make()->checkPrerequisites()), "") << program.name;
    }
    // Each program blocks its own component and no other.
    for (const auto& test : cases) {
        const Io::Path copy = mFolder.path() / test.program;
        ASSERT_TRUE(CopyFileW(sleeper.toNative().text(), copy.toNative().text(), FALSE)) << utf8Text(test.program);
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION started = {};
        ASSERT_TRUE(CreateProcessW(copy.toNative().text(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &started));
        for (const SideProgramCase& program : sidePrograms) {
            const std::string expected =
                &program == &test.component ? std::string("RunningApplication: ") + program.name : "";
            EXPECT_EQ(describeIssues(program.make()->checkPrerequisites()), expected)
                << utf8Text(test.program) << " and " << program.name;
        }
        TerminateProcess(started.hProcess, 0);
        WaitForSingleObject(started.hProcess, INFINITE);
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
    }
}

TEST_F(SideProgramTest, EachCleansUpWhatThePreviousGenerationLeftOfIt) {
    const struct {
        const SideProgramCase& component;
        const wchar_t* value;
        const char* file;
        bool valueStays;
    } cases[] = {
        {sidePrograms[0], L"DrServerInstallPath", "DrServer.exe", false},
        {sidePrograms[1], L"LicensingServerPath", "LicensingServer.exe", false},
        {sidePrograms[2], L"StandaloneInstallPath", "Tarvio.exe", true},
    };
    const bool keyCreated = !Registry::keyExists(LegacyProductKeyPath);
    Registry::createKey(LegacyProductKeyPath);
    // Each folder also holds a file of the user's, so it stays.
    for (const auto& test : cases) {
        const Io::Path legacy = mFolder.path() / "legacy" / test.value;
        Io::createDirectories(legacy);
        writeBytes(legacy / test.file, "old");
        writeBytes(legacy / "user.txt", "mine");
        Registry::writeString(LegacyProductKeyPath, test.value, legacy.toNative());
    }
    ImageEditorComponent().removeLegacyInstallation(); // the previous generation left nothing of it
    for (const auto& test : cases) {
        EXPECT_TRUE(Io::isFile(mFolder.path() / "legacy" / test.value / test.file)) << test.file;
        EXPECT_TRUE(Registry::valueExists(LegacyProductKeyPath, test.value)) << test.file;
    }
    for (const auto& test : cases) {
        test.component.make()->removeLegacyInstallation();
        const Io::Path legacy = mFolder.path() / "legacy" / test.value;
        EXPECT_FALSE(Io::isFile(legacy / test.file)) << test.file;
        EXPECT_TRUE(Io::isFile(legacy / "user.txt")) << test.file;
        EXPECT_EQ(Registry::valueExists(LegacyProductKeyPath, test.value), test.valueStays) << test.file;
    }
    for (const auto& test : cases) {
        Registry::deleteValue(LegacyProductKeyPath, test.value);
    }
    if (keyCreated) {
        Registry::deleteKey(LegacyProductKeyPath);
    }
}

} // namespace
} // namespace Tarvio
