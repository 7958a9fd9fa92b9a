#include "tarviolib/winapi/registry.h"

#include "tarviolib/core/exception.h"
#include "tarviolib/core/sharedptr.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace Tarvio::WinApi::Registry {
namespace {

// Every change an observer hears of, as one text each.
class RecordingObserver : public Observer {
public:
    void onKeyCreated(const String& keyPath) override { record("created " + keyPath); }
    void onKeyDeleted(const String& keyPath) override { record("deleted " + keyPath); }
    void onValueWritten(const String& keyPath, const String& valueName) override {
        record("written " + keyPath + " : " + valueName);
    }
    void onValueDeleted(const String& keyPath, const String& valueName) override {
        record("removed " + keyPath + " : " + valueName);
    }

    std::vector<std::string> events;

private:
    void record(const String& event) { events.push_back(event.toUtf8().text()); }
};

// Registers another observer when it hears of a new key.
class RegisteringObserver : public RecordingObserver {
public:
    void onKeyCreated(const String& keyPath) override {
        RecordingObserver::onKeyCreated(keyPath);
        addObserver(added);
    }

    const SharedPtr<RecordingObserver> added = makeShared<RecordingObserver>();
};

// Each test works below its own key HKEY_CURRENT_USER\Software\TarvioTests\<test name> (64-bit
// view), made with the platform calls and removed with everything below it afterwards.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        mName = String(L"Software\\TarvioTests\\") + String::fromUtf8(test->name());
        mBase = String(L"HKEY_CURRENT_USER\\") + mName;
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, mName.text(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
        mObserver = makeShared<RecordingObserver>();
        addObserver(mObserver);
    }

    // The shared parent key stays: other test programs running at the same time work below it.
    void TearDown() override {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\TarvioTests", 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &key) ==
            ERROR_SUCCESS) {
            const String leaf = mName.substr(mName.findLast(L'\\') + 1);
            RegDeleteTreeW(key, leaf.text());
            RegCloseKey(key);
        }
    }

    // A path below the test's key, written with "\" separators.
    String below(const wchar_t* relative) const { return mBase + L"\\" + relative; }

    bool platformKeyExists(const String& relative) const {
        HKEY key = nullptr;
        const String name = mName + L"\\" + relative;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, name.text(), 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) {
            return false;
        }
        RegCloseKey(key);
        return true;
    }

    void writeRaw(const wchar_t* valueName, DWORD type, const void* data, DWORD size) const {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, mName.text(), valueName, type, data, size), ERROR_SUCCESS);
    }

    std::vector<std::string> takeEvents() {
        std::vector<std::string> events;
        events.swap(mObserver->events);
        return events;
    }

    static std::string utf8(const String& text) { return text.toUtf8().text(); }

    String mName;
    String mBase;
    SharedPtr<RecordingObserver> mObserver;
};

using Events = std::vector<std::string>;

TEST_F(RegistryTest, PathsInEitherFormAndLetterCaseReachTheSameKeyAndObserversSeeThemAsWritten) {
    // The same key through a lower-case root with "/" and through the usual form with "\".
    String slashed = mBase;
    slashed.replaceAll(L"\\", L"/");
    slashed.replaceAll(L"HKEY_CURRENT_USER", L"hkey_current_user");
    const String lowerPath = slashed + L"/Same";

    ASSERT_TRUE(createKey(lowerPath).hasValue());
    ASSERT_TRUE(writeString(lowerPath, L"Name", L"lower"));
    EXPECT_EQ(readString(below(L"Same"), L"Name").valueOr(L"?"), L"lower");
    ASSERT_TRUE(writeString(below(L"Same"), L"Name", L"upper"));
    EXPECT_EQ(readString(lowerPath, L"Name").valueOr(L"?"), L"upper");

    String lowerBackslashed = lowerPath;
    lowerBackslashed.replaceAll(L"/", L"\\");
    EXPECT_EQ(takeEvents(), (Events{"created " + utf8(lowerBackslashed),
                                    "written " + utf8(lowerBackslashed) + " : Name",
                                    "written " + utf8(below(L"Same")) + " : Name"}));

    const Optional<Key> key = openKey(lowerPath, KEY_QUERY_VALUE);
    ASSERT_TRUE(key.hasValue());
    EXPECT_EQ(key->path(), lowerBackslashed);
    EXPECT_FALSE(key->isPredefined());
}

TEST_F(RegistryTest, RootKeysArePredefinedAndSpelledAsGiven) {
    {
        const Optional<Key> root = openKey(L"HKEY_CURRENT_USER", KEY_READ);
        ASSERT_TRUE(root.hasValue());
        EXPECT_EQ(root->handle(), HKEY_CURRENT_USER);
        EXPECT_TRUE(root->isPredefined());
        const Key copy = *root; // a predefined handle is neither duplicated nor closed
        EXPECT_EQ(copy.handle(), HKEY_CURRENT_USER);
    }
    EXPECT_TRUE(keyExists(mBase)); // the predefined handle still works

    const Result<Key> users = rootKey(L"hKeY_uSeRs");
    ASSERT_TRUE(users.ok());
    EXPECT_EQ(users.value().handle(), HKEY_USERS);
    EXPECT_EQ(users.value().path(), L"hKeY_uSeRs");

    const Result<Key> unknown = rootKey(L"HKEY_NOWHERE");
    ASSERT_FALSE(unknown.ok());
    EXPECT_EQ(unknown.error(), L"HKEY_NOWHERE is not a valid registry root key");
    EXPECT_FALSE(openKey(L"HKEY_NOWHERE\\Software", KEY_READ).hasValue());
    EXPECT_FALSE(keyExists(L"HKEY_CURRENT_USERS\\Software"));
}

TEST_F(RegistryTest, CreateKeyMakesOneLevelAndReportsAnExistingKeyAgain) {
    const Optional<Key> created = createKey(below(L"One"));
    ASSERT_TRUE(created.hasValue());
    EXPECT_EQ(created->path(), below(L"One"));
    EXPECT_TRUE(created->writeDword(L"Full", 1)); // full access

    const Optional<Key> again = createKey(below(L"One"));
    ASSERT_TRUE(again.hasValue());
    EXPECT_EQ(again->readDword(L"Full").valueOr(0), 1u);

    EXPECT_EQ(takeEvents(), (Events{"created " + utf8(below(L"One")), "written " + utf8(below(L"One")) + " : Full",
                                    "created " + utf8(below(L"One"))}));
}

TEST_F(RegistryTest, CreateKeyFailsWithoutParentSeparatorOrLastName) {
    const String cases[] = {
        below(L"Missing\\Child"), // the parent does not exist: nothing is created
        L"HKEY_CURRENT_USER",     // no separator
        below(L"Trailing\\"),     // the last name is empty; Trailing does not exist
        mBase + L"\\",            // the last name is empty; the test's key does exist
        L"HKEY_NOWHERE\\Key",
    };
    for (const String& path : cases) {
        SCOPED_TRACE(utf8(path));
        EXPECT_FALSE(createKey(path).hasValue());
    }
    EXPECT_FALSE(platformKeyExists(L"Missing"));
    EXPECT_FALSE(platformKeyExists(L"Trailing"));
    EXPECT_EQ(takeEvents(), Events{});
}

TEST_F(RegistryTest, DeleteKeyRemovesOnlyAKeyWithoutSubKeys) {
    ASSERT_TRUE(createKey(below(L"Parent")).hasValue());
    ASSERT_TRUE(createKey(below(L"Parent\\Child")).hasValue());
    ASSERT_TRUE(writeString(below(L"Parent\\Child"), L"Value", L"x"));
    takeEvents();

    EXPECT_FALSE(deleteKey(below(L"Parent")));
    EXPECT_TRUE(platformKeyExists(L"Parent"));
    EXPECT_EQ(takeEvents(), Events{});

    EXPECT_TRUE(deleteKey(below(L"Parent/Child")));
    EXPECT_FALSE(platformKeyExists(L"Parent\\Child"));
    EXPECT_EQ(takeEvents(), Events{"deleted " + utf8(below(L"Parent\\Child"))});

    EXPECT_FALSE(deleteKey(below(L"Parent\\Child")));
    EXPECT_FALSE(deleteKey(L"HKEY_CURRENT_USER"));
    EXPECT_FALSE(deleteKey(L"HKEY_NOWHERE\\Software"));
    EXPECT_EQ(takeEvents(), Events{});
}

TEST_F(RegistryTest, KeyOperationsTakeSubKeyNamesWithEitherSeparator) {
    const Optional<Key> base = openKey(mBase, KEY_ALL_ACCESS);
    ASSERT_TRUE(base.hasValue());
    const Optional<Key> outer = base->createSubKey(L"Outer");
    ASSERT_TRUE(outer.hasValue());
    ASSERT_TRUE(outer->createSubKey(L"Inner").hasValue());

    const Optional<Key> inner = base->openSubKey(L"Outer/Inner", KEY_QUERY_VALUE);
    ASSERT_TRUE(inner.hasValue());
    EXPECT_EQ(inner->path(), below(L"Outer\\Inner"));
    EXPECT_FALSE(base->openSubKey(L"Outer/None", KEY_QUERY_VALUE).hasValue());

    EXPECT_FALSE(base->deleteSubKey(L""));
    EXPECT_TRUE(platformKeyExists(L""));
    EXPECT_TRUE(base->deleteSubKey(L"Outer/Inner"));
    EXPECT_EQ(takeEvents(), (Events{"created " + utf8(below(L"Outer")), "created " + utf8(below(L"Outer\\Inner")),
                                    "deleted " + utf8(below(L"Outer\\Inner"))}));
}

TEST_F(RegistryTest, WritingByPathNeedsAnExistingKey) {
    EXPECT_FALSE(writeString(below(L"Absent"), L"Name", L"text"));
    EXPECT_FALSE(platformKeyExists(L"Absent"));
    EXPECT_FALSE(deleteValue(below(L"Absent"), L"Name"));
    EXPECT_FALSE(readString(below(L"Absent"), L"Name").hasValue());
    EXPECT_FALSE(readDword(below(L"Absent"), L"Name").hasValue());
    EXPECT_FALSE(valueExists(below(L"Absent"), L"Name"));
    EXPECT_EQ(takeEvents(), Events{});
}

TEST_F(RegistryTest, ValuesAreReadOnlyAsTheirOwnType) {
    const Optional<Key> key = openKey(mBase, KEY_ALL_ACCESS);
    ASSERT_TRUE(key.hasValue());
    ASSERT_TRUE(key->writeString(L"Text", L"Tarvio \u00e9"));
    ASSERT_TRUE(key->writeDword(L"Number", 4000000000u));
    ASSERT_TRUE(key->writeString(L"", L"default"));

    EXPECT_EQ(readString(mBase, L"Text").valueOr(L"?"), L"Tarvio \u00e9");
    EXPECT_EQ(readString(mBase, L"").valueOr(L"?"), L"default");
    EXPECT_EQ(readDword(mBase, L"Number").valueOr(0), 4000000000u);
    EXPECT_FALSE(readString(mBase, L"Number").hasValue());
    EXPECT_FALSE(readDword(mBase, L"Text").hasValue());
    EXPECT_FALSE(readString(mBase, L"Missing").hasValue());

    const wchar_t multi[] = L"a\0b\0";
    writeRaw(L"Multi", REG_MULTI_SZ, multi, sizeof(multi));
    writeRaw(L"Binary", REG_BINARY, "ab", 2);
    EXPECT_FALSE(readString(mBase, L"Multi").hasValue());
    EXPECT_FALSE(readString(mBase, L"Binary").hasValue());
    EXPECT_TRUE(valueExists(mBase, L"Binary"));
    EXPECT_FALSE(valueExists(mBase, L"Missing"));
}

TEST_F(RegistryTest, TextValuesAreTakenUpToTheirFirstZeroCharacter) {
    const wchar_t expandable[] = L"%SystemRoot%\\x";
    writeRaw(L"Expand", REG_EXPAND_SZ, expandable, sizeof(expandable));
    EXPECT_EQ(readString(mBase, L"Expand").valueOr(L"?"), L"%SystemRoot%\\x");

    // Stored without a terminator, and with an odd byte count whose last byte is half a unit.
    writeRaw(L"Unterminated", REG_SZ, L"abc", 6);
    const char odd[] = {'a', 0, 'b'};
    writeRaw(L"Odd", REG_SZ, odd, 3);
    const wchar_t embedded[] = L"one\0two";
    writeRaw(L"Embedded", REG_SZ, embedded, sizeof(embedded));
    writeRaw(L"Nothing", REG_SZ, nullptr, 0);
    EXPECT_EQ(readString(mBase, L"Unterminated").valueOr(L"?"), L"abc");
    EXPECT_EQ(readString(mBase, L"Odd").valueOr(L"?"), L"ab");
    EXPECT_EQ(readString(mBase, L"Embedded").valueOr(L"?"), L"one");
    EXPECT_EQ(readString(mBase, L"Nothing").valueOr(L"?"), L"");
}

TEST_F(RegistryTest, EmptyTextIsStoredAsOneZeroCharacter) {
    ASSERT_TRUE(writeString(mBase, L"Empty", L""));
    DWORD type = REG_NONE;
    DWORD size = 0;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, mName.text(), L"Empty", RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 2u);
    const Optional<String> text = readString(mBase, L"Empty");
    ASSERT_TRUE(text.hasValue());
    EXPECT_TRUE(text->isEmpty());
}

TEST_F(RegistryTest, DeletingAValueIsReportedWithTheKeyPath) {
    ASSERT_TRUE(writeString(mBase, L"Gone", L"soon"));
    ASSERT_TRUE(deleteValue(mBase, L"Gone"));
    EXPECT_FALSE(valueExists(mBase, L"Gone"));
    EXPECT_FALSE(deleteValue(mBase, L"Gone"));
    EXPECT_EQ(takeEvents(), (Events{"written " + utf8(mBase) + " : Gone", "removed " + utf8(mBase) + " : Gone"}));
}

TEST_F(RegistryTest, CopiesOwnTheirOwnHandle) {
    Optional<Key> original = openKey(mBase, KEY_QUERY_VALUE | KEY_SET_VALUE);
    ASSERT_TRUE(original.hasValue());
    Key copy = *original;
    EXPECT_NE(copy.handle(), original->handle());
    EXPECT_EQ(copy.path(), mBase);
    original.reset();
    EXPECT_TRUE(copy.writeDword(L"AfterOriginal", 5)); // same rights
    EXPECT_EQ(copy.readDword(L"AfterOriginal").valueOr(0), 5u);

    Key moved = std::move(copy);
    EXPECT_EQ(moved.readDword(L"AfterOriginal").valueOr(0), 5u);
}

TEST_F(RegistryTest, DeadObserversAreSkipped) {
    SharedPtr<RecordingObserver> second = makeShared<RecordingObserver>();
    addObserver(second);
    ASSERT_TRUE(createKey(below(L"Heard")).hasValue());
    EXPECT_EQ(second->events, Events{"created " + utf8(below(L"Heard"))});

    second.reset();
    ASSERT_TRUE(createKey(below(L"Alone")).hasValue()); // would crash on a dead observer
    const SharedPtr<RecordingObserver> third = makeShared<RecordingObserver>();
    addObserver(third);
    ASSERT_TRUE(deleteKey(below(L"Alone")));
    EXPECT_EQ(third->events, Events{"deleted " + utf8(below(L"Alone"))});
    EXPECT_EQ(takeEvents(), (Events{"created " + utf8(below(L"Heard")), "created " + utf8(below(L"Alone")),
                                    "deleted " + utf8(below(L"Alone"))}));
}

TEST_F(RegistryTest, AnObserverRegisteredWhileAChangeIsToldHearsTheNextAndSkipsNoOther) {
    // A dead entry ahead of the registering observer: the registration drops it while the
    // observers are being told.
    SharedPtr<RecordingObserver> doomed = makeShared<RecordingObserver>();
    addObserver(doomed);
    const SharedPtr<RegisteringObserver> registering = makeShared<RegisteringObserver>();
    addObserver(registering);
    const SharedPtr<RecordingObserver> behind = makeShared<RecordingObserver>();
    addObserver(behind);
    doomed.reset();

    ASSERT_TRUE(createKey(below(L"Told")).hasValue());
    EXPECT_EQ(behind->events, Events{"created " + utf8(below(L"Told"))});
    EXPECT_TRUE(registering->added->events.empty());
    ASSERT_TRUE(deleteKey(below(L"Told")));
    EXPECT_EQ(registering->added->events, Events{"deleted " + utf8(below(L"Told"))});
}

} // namespace
} // namespace Tarvio::WinApi::Registry
