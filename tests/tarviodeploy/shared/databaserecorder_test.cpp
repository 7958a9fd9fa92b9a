#include "tarviodeploy/shared/databasefilesystemrecorder.h"
#include "tarviodeploy/shared/databaseregistryrecorder.h"

#include "tests/support/databasedescription.h"

#include <gtest/gtest.h>

namespace Tarvio {
namespace {

void reportEveryChange(DatabaseRegistryRecorder& recorder, const char* key) {
    recorder.onKeyCreated(key);
    recorder.onValueWritten(key, L"Value");
    recorder.onValueDeleted(key, L"Value");
    recorder.onKeyDeleted(key);
}

TEST(DatabaseRegistryRecorder, RecordsIntoTheCurrentEntryElseTheGlobalList) {
    Database database;
    DatabaseRegistryRecorder recorder(&database);
    reportEveryChange(recorder, "HKEY_LOCAL_MACHINE\\Before");

    const SharedPtr<DatabaseComponentEntry> entry = database.createComponent(L"X", L"X", L"2");
    recorder.setEntry(entry);
    reportEveryChange(recorder, "HKEY_LOCAL_MACHINE\\During");
    recorder.setEntry(nullptr);
    reportEveryChange(recorder, "HKEY_LOCAL_MACHINE\\After");

    EXPECT_EQ(describe(database),
              "RegistryKey HKEY_LOCAL_MACHINE\\Before\n"
              "RegistryValue HKEY_LOCAL_MACHINE\\Before : Value\n"
              "RegistryKey HKEY_LOCAL_MACHINE\\After\n"
              "RegistryValue HKEY_LOCAL_MACHINE\\After : Value\n"
              "Component X name=X tags=[] version=2 corrupted\n"
              "  RegistryKey HKEY_LOCAL_MACHINE\\During\n"
              "  RegistryValue HKEY_LOCAL_MACHINE\\During : Value\n");
}

TEST(DatabaseRegistryRecorder, WithoutDatabaseRecordsOnlyIntoAnEntry) {
    DatabaseRegistryRecorder recorder(nullptr);
    reportEveryChange(recorder, "HKEY_LOCAL_MACHINE\\Nowhere");
    const auto entry = makeShared<DatabaseComponentEntry>(L"X", L"X", L"2", Array<String>());
    recorder.setEntry(entry);
    reportEveryChange(recorder, "HKEY_LOCAL_MACHINE\\Entry");
    EXPECT_EQ(describe(*entry, ""),
              "Component X name=X tags=[] version=2 corrupted\n"
              "  RegistryKey HKEY_LOCAL_MACHINE\\Entry\n"
              "  RegistryValue HKEY_LOCAL_MACHINE\\Entry : Value\n");
}

TEST(DatabaseFileSystemRecorder, RecordsCreatedFoldersOnlyIntoAnEntry) {
    const auto entry = makeShared<DatabaseComponentEntry>(L"X", L"X", L"2", Array<String>());
    DatabaseFileSystemRecorder recorder(entry);
    recorder.onDirectoryCreated(L"C:/a/");
    recorder.onDirectoryCreated(L"C:/a/b/");
    DatabaseFileSystemRecorder(nullptr).onDirectoryCreated(L"C:/ignored/");
    EXPECT_EQ(describe(*entry, ""),
              "Component X name=X tags=[] version=2 corrupted\n"
              "  Directory C:/a/\n"
              "  Directory C:/a/b/\n");
}

} // namespace
} // namespace Tarvio
