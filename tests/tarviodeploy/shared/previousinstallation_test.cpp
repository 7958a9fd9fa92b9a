#include "tarviodeploy/shared/previousinstallation.h"

#include "tests/support/databasedescription.h"
#include "tests/support/deploymenttesting.h"

#include <gtest/gtest.h>

namespace Tarvio {
namespace {

using namespace Testing;
namespace Registry = WinApi::Registry;

class LegacyComponent : public Component {
public:
    String name() const override { return L"Legacy Name"; }
    String id() const override { return L"Legacy"; }
    void unpack(IInstallContext&) override {}
    void removeLegacyInstallation() override { ++legacyRemovals; }

    int legacyRemovals = 0;
};

class Removal : public ::testing::Test {
protected:
    // A folder holding a.txt, as an installation leaves it.
    Io::Path installFolder(const char* name) {
        const Io::Path folder = mFolder.path() / name / "";
        Io::createDirectories(folder);
        writeBytes(folder / "a.txt", "a");
        return folder;
    }

    // The folder and its file, recorded in that order.
    SharedPtr<DatabaseComponentEntry> recordInstallation(const String& id, const char* name) {
        const Io::Path folder = installFolder(name);
        const SharedPtr<DatabaseComponentEntry> entry = mDatabase.createComponent(id, L"Legacy Name", L"2");
        entry->addDirectory(folder);
        entry->addFile(folder / "a.txt");
        return entry;
    }

    TemporaryFolder mFolder{"removal"};
    TestRegistryKey mKey{"Removal"};
    RecordingLogger mLogger;
    Database mDatabase;
};

// A record of a kind the removal does not know.
class StrangeEntry : public DatabaseEntry {
public:
    void writeXml(XmlWriterNode&) const override {}
};

TEST_F(Removal, RemovesNewestFirstAndReportsWhatStays) {
    const Io::Path root = mFolder.path() / "D" / "";
    const String key = mKey.path() + "\\Key";
    const String parent = mKey.path() + "\\Parent";
    Io::createDirectories(root / "sub");
    Io::createDirectories(root / "keep");
    writeBytes(root / "sub" / "a.txt", "a");
    writeBytes(root / "keep" / "user.txt", "not ours");
    Registry::createKey(key);
    Registry::writeString(key, L"Value", L"v");
    Registry::createKey(parent);
    Registry::createKey(parent + "\\Child");

    DatabaseComponentEntry entry(L"X", L"Some Component", L"2", {L"TarvioForMax"});
    entry.addDirectory(root);
    entry.addDirectory(root / "keep/");
    entry.addDirectory(root / "sub/");
    entry.addFile(root / "sub" / "a.txt");
    entry.addFile(root / "gone.txt");
    entry.addRegistryKey(key);
    entry.addRegistryValue(key, L"Value");
    entry.addRegistryValue(key, L"Missing");
    entry.addRegistryKey(parent);
    entry.addEntry(makeShared<StrangeEntry>());

    removeRecordedInstallation(mLogger, entry);

    EXPECT_EQ(mLogger.printed, "Removing previous installation of Some Component... "
                               "[error] - Unknown entry found in the installation database\n"
                               "[error] Failed to delete registry key " + utf8Text(parent) + "\n" +
                               "[error] Failed to delete directory " + utf8Text((root / "keep/").toNative()) + "\n" +
                               "[error] Failed to delete directory " + utf8Text(root.toNative()) + "\n" +
                               "[error] Operation result: failed\n");
    EXPECT_FALSE(Registry::keyExists(key));
    EXPECT_TRUE(Registry::keyExists(parent));
    EXPECT_FALSE(Io::isDirectory(root / "sub"));
    EXPECT_TRUE(Io::isFile(root / "keep" / "user.txt"));
}

TEST_F(Removal, CleanRemovalEndsDone) {
    const SharedPtr<DatabaseComponentEntry> entry = recordInstallation(L"Legacy", "Clean");
    removeRecordedInstallation(mLogger, *entry);
    EXPECT_EQ(mLogger.printed, "Removing previous installation of Legacy Name... done\n");
    EXPECT_FALSE(Io::isDirectory(mFolder.path() / "Clean"));
}

TEST_F(Removal, RelativePathsAreNeverTakenFromTheWorkingFolder) {
    const Io::Path decoy(L"tarvio-removal-decoy.txt");
    writeBytes(decoy, "the user's");
    Io::createDirectories(Io::Path(L"tarvio-removal-decoy"));
    DatabaseComponentEntry entry(L"X", L"Edited", L"2", {});
    entry.addDirectory(Io::Path(L"tarvio-removal-decoy/"));
    entry.addFile(decoy);

    removeRecordedInstallation(mLogger, entry);

    EXPECT_EQ(mLogger.printed, "Removing previous installation of Edited... done\n");
    EXPECT_TRUE(Io::isFile(decoy));
    EXPECT_TRUE(Io::isDirectory(Io::Path(L"tarvio-removal-decoy")));
    Io::removeFile(decoy);
    Io::removeDirectory(Io::Path(L"tarvio-removal-decoy"));
}

TEST_F(Removal, PreviousInstallationIsTheEntryElseTheLegacyCleanUp) {
    LegacyComponent component;
    removePreviousInstallation(mLogger, mDatabase, component);
    EXPECT_EQ(component.legacyRemovals, 1);
    EXPECT_EQ(mLogger.printed, "");

    recordInstallation(L"Legacy", "Recorded");
    removePreviousInstallation(mLogger, mDatabase, component);
    EXPECT_EQ(component.legacyRemovals, 1);
    EXPECT_FALSE(mDatabase.contains(L"Legacy"));
    EXPECT_FALSE(Io::isDirectory(mFolder.path() / "Recorded"));
    EXPECT_EQ(mLogger.printed, "Removing previous installation of Legacy Name... done\n");
}

TEST_F(Removal, ReleaseRemovesOnlyWhatNoOtherProductHolds) {
    const struct {
        const char* what;
        const wchar_t* tags; // null: no entry at all
        bool removed;
        int legacyRemovals;
        const char* remainingTags;
    } cases[] = {
        {"held by another product", L"TarvioForMax OtherProduct", false, 0, "[OtherProduct]"},
        {"held by this product", L"TarvioForMax", true, 0, ""},
        // Saved once without tags: such an entry must still be released.
        {"held by nobody", L"", true, 0, ""},
        {"no entry", nullptr, false, 1, ""},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        mDatabase.removeComponent(L"Legacy");
        const Io::Path folder = mFolder.path() / "Released";
        if (test.tags != nullptr) {
            // Through the file format, as a later run sees the entry.
            installFolder("Released");
            const String xml = L"<Database><Component id=\"Legacy\" name=\"Legacy Name\" corrupted=\"0\" tags=\"" +
                               String(test.tags) + L"\"><Directory>" + folder.text() + L"/</Directory><File>" +
                               (folder / "a.txt").text() + L"</File></Component></Database>";
            mDatabase.storeComponent(Database::parse(xml).database->find(L"Legacy").value());
        }
        LegacyComponent component;

        releaseComponentForReinstall(mLogger, mDatabase, component, L"TarvioForMax");

        EXPECT_EQ(component.legacyRemovals, test.legacyRemovals);
        EXPECT_EQ(Io::isDirectory(folder), test.tags != nullptr && !test.removed);
        EXPECT_EQ(mDatabase.contains(L"Legacy"), test.tags != nullptr && !test.removed);
        if (mDatabase.contains(L"Legacy")) {
            const std::string text = describe(*mDatabase.find(L"Legacy").value(), "");
            EXPECT_EQ(text.substr(text.find('['), text.find(']') - text.find('[') + 1), test.remainingTags);
        }
        std::filesystem::remove_all(folder.toNative().text());
    }
}

} // namespace
} // namespace Tarvio
