#include "tarviodeploy/installer/fileassociation.h"

#include "tarviolib/winapi/shortcut.h"
#include "tests/support/componenttesting.h"

#include <gtest/gtest.h>

namespace Tarvio {
namespace {

using namespace Testing;
namespace Registry = WinApi::Registry;

const wchar_t* const classes = L"HKEY_CURRENT_USER\\SOFTWARE\\Classes\\";

std::string registryText(const String& key, const String& valueName) {
    return utf8Text(Registry::readString(key, valueName).valueOr(L"<none>"));
}

// Everything an installed association consists of, as one text.
std::string association(const String& programId, const String& extension) {
    return registryText(classes + ("." + extension), L"") + " | " +
           registryText(classes + programId + "\\shell\\open\\command", L"") + " | " +
           registryText(classes + programId + "\\DefaultIcon", L"");
}

class FileAssociationTest : public ComponentTest {
protected:
    FileAssociationTest() : ComponentTest({}) {}

    // Registry changes from here to the end go into this entry.
    SharedPtr<DatabaseComponentEntry> recordInto() {
        const SharedPtr<DatabaseComponentEntry> entry = mDatabase.createComponent(L"X", L"X", L"2");
        entry->setCorrupted(false);
        mContext->beginComponent(L"X", folder(), entry);
        return entry;
    }

    AssociationKeys mKeys{{L".tarviotest", L"TarvioTest.tarviotest"}};
    TestRegistryKey mKey{"FileAssociation"};
};

TEST_F(FileAssociationTest, WritesTheThreeValuesAndRecordsOnlyTheKeysItCreated) {
    const SharedPtr<DatabaseComponentEntry> entry = recordInto();
    EXPECT_TRUE(registerFileAssociation(L"TarvioTest", L"C:/Program Files/Tarvio/TarvioImage.exe", L"tarviotest"));

    EXPECT_EQ(association(L"TarvioTest.tarviotest", L"tarviotest"),
              "TarvioTest.tarviotest | \"C:\\Program Files\\Tarvio\\TarvioImage.exe\" \"%1\" | "
              "C:\\Program Files\\Tarvio\\TarvioImage.exe,0");
    const std::string key = "HKEY_CURRENT_USER\\SOFTWARE\\Classes\\";
    const std::string program = key + "TarvioTest.tarviotest";
    EXPECT_EQ(describe(*entry, ""), "Component X name=X tags=[] version=2\n"
                                    "  RegistryKey " + key + ".tarviotest\n" +
                                    "  RegistryValue " + key + ".tarviotest : \n" +
                                    "  RegistryKey " + program + "\n" +
                                    "  RegistryKey " + program + "\\shell\n" +
                                    "  RegistryKey " + program + "\\shell\\open\n" +
                                    "  RegistryKey " + program + "\\shell\\open\\command\n" +
                                    "  RegistryValue " + program + "\\shell\\open\\command : \n" +
                                    "  RegistryKey " + program + "\\DefaultIcon\n" +
                                    "  RegistryValue " + program + "\\DefaultIcon : \n");
}

TEST_F(FileAssociationTest, AnExistingAssociationAnywhereIsLeftAlone) {
    // Each place where another program may have claimed the extension.
    for (const wchar_t* existing :
         {L"HKEY_CLASSES_ROOT\\.tarviotest", L"HKEY_CURRENT_USER\\Software\\Classes\\.tarviotest",
          L"HKEY_LOCAL_MACHINE\\Software\\Classes\\.tarviotest"}) {
        const AssociationKeys cleanUp({L".tarviotest", L"TarvioTest.tarviotest"});
        ASSERT_TRUE(Registry::createKey(existing).hasValue()) << utf8Text(existing);
        ASSERT_TRUE(Registry::writeString(existing, L"", L"Other.tarviotest"));

        EXPECT_FALSE(registerFileAssociation(L"TarvioTest", L"C:/Tarvio/TarvioImage.exe", L"tarviotest"))
            << utf8Text(existing);
        EXPECT_EQ(registryText(existing, L""), "Other.tarviotest") << utf8Text(existing);
        EXPECT_FALSE(Registry::keyExists(classes + String(L"TarvioTest.tarviotest"))) << utf8Text(existing);
    }
}

TEST_F(FileAssociationTest, ASecondRegistrationFindsTheFirst) {
    EXPECT_TRUE(registerFileAssociation(L"TarvioTest", L"C:/First/TarvioImage.exe", L"tarviotest"));
    EXPECT_FALSE(registerFileAssociation(L"TarvioTest", L"C:/Second/TarvioImage.exe", L"tarviotest"));
    EXPECT_EQ(registryText(classes + String(L"TarvioTest.tarviotest\\DefaultIcon"), L""),
              "C:\\First\\TarvioImage.exe,0");
}

TEST_F(FileAssociationTest, CreatingKeysTakesEitherSeparatorAndStopsAtALevelThatCannotBeMade) {
    const SharedPtr<DatabaseComponentEntry> entry = recordInto();
    const String base = mKey.path();
    EXPECT_TRUE(writeRegistryStringCreatingKeys(base + L"/A/B", L"Name", L"value"));
    EXPECT_TRUE(writeRegistryStringCreatingKeys(base + L"\\A\\B", L"Name", L"again"));
    EXPECT_EQ(registryText(base + L"\\A\\B", L"Name"), "again");
    EXPECT_FALSE(writeRegistryStringCreatingKeys(L"HKEY_NO_ROOT\\A", L"Name", L"value"));

    const std::string key = utf8Text(base);
    EXPECT_EQ(describe(*entry, ""), "Component X name=X tags=[] version=2\n"
                                    "  RegistryKey " + key + "\\A\n" +
                                    "  RegistryKey " + key + "\\A\\B\n" +
                                    "  RegistryValue " + key + "\\A\\B : Name\n" +
                                    "  RegistryValue " + key + "\\A\\B : Name\n");
}

TEST(ShortcutTest, SavesTheLinkWithLnkAddedAndAnswersItsPath) {
    const TemporaryFolder folder("shortcut");
    const Io::Path program = folder.path() / "Tools/Program.exe";
    Io::createDirectories(program.parent());
    writeBytes(program, "MZ");

    const Result<Io::Path> link =
        WinApi::createShortcut(program, folder.path() / "My Program", L"My program version 2");
    ASSERT_TRUE(link.ok()) << utf8Text(link.error());
    EXPECT_EQ(utf8Text(link.value().text()), utf8Text((folder.path() / "My Program.lnk").text()));
    EXPECT_EQ(utf8Text(link.value().text()).find('\\'), std::string::npos);
    EXPECT_TRUE(Io::isFile(link.value()));
    EXPECT_EQ(readLink(link.value()), utf8Text(program.toNative()) + " | My program version 2");
}

TEST(ShortcutTest, ALinkThatCannotBeSavedIsAnError) {
    const TemporaryFolder folder("shortcut");
    const Result<Io::Path> link =
        WinApi::createShortcut(folder.path() / "Program.exe", folder.path() / "missing/My Program", L"d");
    ASSERT_FALSE(link.ok());
    EXPECT_EQ(utf8Text(link.error()), "Failed to create a link");
}

} // namespace
} // namespace Tarvio
