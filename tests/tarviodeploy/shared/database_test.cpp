#include "tarviodeploy/shared/database.h"

#include "tests/support/databasedescription.h"
#include "tarviolib/core/formatting.h"

#include <gtest/gtest.h>

namespace Tarvio {
namespace {

UniquePtr<Database> sampleDatabase() {
    auto owned = makeUnique<Database>();
    Database& database = *owned;
    database.addFile(L"C:/Program Files/Tarvio/3rd-party-licenses.txt");
    database.addRegistryKey(L"HKEY_LOCAL_MACHINE\\Software\\TarvioRenderer");
    database.addRegistryValue(L"HKEY_LOCAL_MACHINE\\Software\\TarvioRenderer", L"Referral");
    // Created out of id order: the file lists components by id.
    const SharedPtr<DatabaseComponentEntry> server = database.createComponent(L"DR Server", L"DR Server", L"2");
    server->addDirectory(L"C:/Program Files/Tarvio/");
    server->addFile(L"C:/Program Files/Tarvio/DrServer.exe");
    server->addTag(L"TarvioForMax");
    server->setCorrupted(false);
    const SharedPtr<DatabaseComponentEntry> max = database.createComponent(L"Max2016", L"3ds Max 2016 Plugin", L"2");
    max->addRegistryKey(L"HKEY_CURRENT_USER\\SOFTWARE\\Classes\\.kxr");
    max->addRegistryValue(L"HKEY_CURRENT_USER\\SOFTWARE\\Classes\\.kxr", L"");
    max->addFile(L"C:/Max/plugins/Tarvio2016.dlr");
    max->addTags({L"TarvioForMax", L"Other&<Product>"});
    database.createComponent(L"Empty", L"Empty \"quoted\"", L"");
    return owned;
}

TEST(Database, SavesTheFileFormat) {
    EXPECT_EQ(utf8(sampleDatabase()->save()),
              "<Database version=\"1\">\n"
              "\t<File>C:/Program Files/Tarvio/3rd-party-licenses.txt</File>\n"
              "\t<RegistryKey>HKEY_LOCAL_MACHINE\\Software\\TarvioRenderer</RegistryKey>\n"
              "\t<RegistryValue keyPath=\"HKEY_LOCAL_MACHINE\\Software\\TarvioRenderer\">Referral</RegistryValue>\n"
              "\t<Component id=\"DR Server\" name=\"DR Server\" tags=\"TarvioForMax\" version=\"2\" corrupted=\"0\">\n"
              "\t\t<Directory>C:/Program Files/Tarvio/</Directory>\n"
              "\t\t<File>C:/Program Files/Tarvio/DrServer.exe</File>\n"
              "\t</Component>\n"
              "\t<Component id=\"Empty\" name='Empty \"quoted\"' tags=\"\" version=\"\" corrupted=\"1\"/>\n"
              "\t<Component id=\"Max2016\" name=\"3ds Max 2016 Plugin\" tags=\"TarvioForMax Other&amp;&lt;Product&gt;\" "
              "version=\"2\" corrupted=\"1\">\n"
              "\t\t<RegistryKey>HKEY_CURRENT_USER\\SOFTWARE\\Classes\\.kxr</RegistryKey>\n"
              "\t\t<RegistryValue keyPath=\"HKEY_CURRENT_USER\\SOFTWARE\\Classes\\.kxr\"/>\n"
              "\t\t<File>C:/Max/plugins/Tarvio2016.dlr</File>\n"
              "\t</Component>\n"
              "</Database>\n\n");
}

TEST(Database, RoundTripKeepsEveryRecordInOrder) {
    const UniquePtr<Database> original = sampleDatabase();
    const DatabaseLoadResult loaded = Database::parse(original->save());
    ASSERT_FALSE(loaded.failed);
    EXPECT_EQ(loaded.database->version(), 1);
    EXPECT_EQ(describe(*loaded.database), describe(*original));
    EXPECT_EQ(utf8(loaded.database->save()), utf8(Database::parse(loaded.database->save()).database->save()));
}

struct ParseCase {
    const char* what;
    const wchar_t* xml;
    bool failed;
    int32_t version;
    const char* records;
};

const ParseCase parseCases[] = {
    {"not well-formed", L"<Database><File>a</File>", true, 0, ""},
    {"text before the root", L"x<Database/>", true, 0, ""},
    {"empty text", L"", false, 0, ""},
    {"root of another name", L"<Other version=\"7\"><File>a</File><Bogus/></Other>", false, 0, ""},
    {"no version", L"<Database><File>a</File></Database>", false, 0, "File a\n"},
    {"version read like a stream", L"<Database VERSION=\" 1abc\"/>", false, 1, ""},
    {"version 2 keeps the records", L"<Database version=\"2\"><File>a</File><Component id=\"X\"/></Database>", true, 0,
     "File a\nComponent X name= tags=[] version=\n"},
    {"version without a number", L"<Database version=\"one\"/>", true, 0, ""},
    {"empty version", L"<Database version=\"\"/>", true, 0, ""},
    {"unknown element under the root is skipped",
     L"<Database version=\"1\"><File>a</File><Bogus>b</Bogus><Directory>c\\d/</Directory></Database>", true, 1,
     "File a\nDirectory c/d/\n"},
    {"value without key path under the root", L"<Database><RegistryValue>v</RegistryValue></Database>", true, 0, ""},
    {"attribute names ignore case",
     L"<Database><RegistryValue KEYPATH=\"HKEY_CURRENT_USER\\k\">v</RegistryValue>"
     L"<Component ID=\"X\" Name=\"n\" TAGS=\"t\" Version=\"3\" CORRUPTED=\"0\"/></Database>",
     false, 0, "RegistryValue HKEY_CURRENT_USER\\k : v\nComponent X name=n tags=[t] version=3\n"},
    {"later component of the same id wins",
     L"<Database><Component id=\"X\" version=\"1\"><File>old</File></Component>"
     L"<Component id=\"X\" version=\"2\" corrupted=\"0\"><File>new</File></Component></Database>",
     false, 0, "Component X name= tags=[] version=2\n  File new\n"},
    {"unknown and incomplete records under a component are skipped silently",
     L"<Database><Component id=\"X\" corrupted=\"0\"><Bogus/><RegistryValue>v</RegistryValue>"
     L"<RegistryKey>HKEY_USERS\\k</RegistryKey></Component></Database>",
     false, 0, "Component X name= tags=[] version=\n  RegistryKey HKEY_USERS\\k\n"},
    {"nested component is a record of the outer one",
     L"<Database><Component id=\"X\" corrupted=\"0\"><Component id=\"Y\" corrupted=\"0\"><File>f</File></Component>"
     L"</Component></Database>",
     false, 0, "Component X name= tags=[] version=\n  Component Y name= tags=[] version=\n    File f\n"},
    {"empty records", L"<Database><File/><RegistryKey></RegistryKey><RegistryValue keyPath=\"\"/></Database>", false, 0,
     "File \nRegistryKey \nRegistryValue  : \n"},
};

TEST(Database, ParseFollowsTheReadingRules) {
    for (const ParseCase& test : parseCases) {
        SCOPED_TRACE(test.what);
        const DatabaseLoadResult result = Database::parse(test.xml);
        ASSERT_TRUE(result.database);
        EXPECT_EQ(result.failed, test.failed);
        EXPECT_EQ(result.database->version(), test.version);
        EXPECT_EQ(describe(*result.database), test.records);
    }
}

TEST(Database, ReadsCorruptedLikeAStreamExtractionOfABool) {
    const struct {
        const wchar_t* attribute;
        bool corrupted;
    } cases[] = {
        {L"", false},
        {L"corrupted=\"0\"", false},
        {L"corrupted=\" 0\"", false},
        {L"corrupted=\"1\"", true},
        {L"corrupted=\"1x\"", true},
        {L"corrupted=\"true\"", true},
        {L"corrupted=\"false\"", true},
        {L"corrupted=\"2\"", true},
        {L"corrupted=\"\"", true},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(utf8(test.attribute));
        const DatabaseLoadResult result =
            Database::parse(String(L"<Database><Component id=\"X\" ") + test.attribute + L"/></Database>");
        ASSERT_FALSE(result.failed);
        EXPECT_EQ(result.database->find(L"X").value()->corrupted(), test.corrupted);
    }
}

TEST(Database, EmptyTagTextsAreNoTags) {
    const struct {
        const wchar_t* attribute;
        const char* tags;
    } cases[] = {
        {L"", "[]"},
        {L"tags=\"\"", "[]"},
        {L"tags=\" \"", "[]"},
        {L"tags=\"TarvioForMax \"", "[TarvioForMax]"},
        {L"tags=\"a  b\"", "[a,b]"},
        {L"tags=\"a b a\"", "[a,b]"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(utf8(test.attribute));
        const DatabaseLoadResult result =
            Database::parse(String(L"<Database><Component id=\"X\" corrupted=\"0\" ") + test.attribute + L"/></Database>");
        const std::string text = describe(*result.database);
        EXPECT_EQ(text.substr(text.find('['), text.find(']') - text.find('[') + 1), test.tags);
    }
}

TEST(Database, SavesVersionOneWhateverWasLoaded) {
    const DatabaseLoadResult loaded = Database::parse(L"<Database version=\"5\"><File>a</File></Database>");
    ASSERT_TRUE(loaded.failed);
    EXPECT_EQ(utf8(loaded.database->save()), "<Database version=\"1\">\n\t<File>a</File>\n</Database>\n\n");
}

TEST(Database, ComponentTableOperations) {
    Database database;
    EXPECT_FALSE(database.contains(L"X"));
    EXPECT_FALSE(database.find(L"X").hasValue());
    const SharedPtr<DatabaseComponentEntry> first = database.createComponent(L"X", L"name", L"1");
    first->addFile(L"f");
    EXPECT_TRUE(first->corrupted());
    EXPECT_TRUE(first->tags().isEmpty());

    const SharedPtr<DatabaseComponentEntry> second = database.createComponent(L"X", L"other", L"2");
    EXPECT_EQ(database.find(L"X").value().get(), second.get());
    EXPECT_TRUE(second->entries().isEmpty());
    EXPECT_EQ(database.components().size(), 1u);

    database.removeComponent(L"X");
    EXPECT_FALSE(database.contains(L"X"));
    database.removeComponent(L"X");
}

TEST(DatabaseComponentEntry, TagsHoldNoDuplicatesAndKeepTheirOrder) {
    DatabaseComponentEntry entry(L"X", L"X", L"2", {L"a", L"b", L"a", L"c"});
    entry.addTag(L"b");
    entry.addTags({L"d", L"c"});
    EXPECT_EQ(utf8(join(entry.tags(), L",", L",")), "a,b,c,d");
    entry.removeTag(L"b");
    entry.removeTag(L"missing");
    EXPECT_EQ(utf8(join(entry.tags(), L",", L",")), "a,c,d");
    // Units are compared exactly: no case folding.
    entry.removeTag(L"A");
    EXPECT_EQ(entry.tags().size(), 3);
}

} // namespace
} // namespace Tarvio
