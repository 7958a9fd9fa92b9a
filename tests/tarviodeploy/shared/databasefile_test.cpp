#include "tarviodeploy/shared/databasefile.h"

#include "tarviolib/core/exception.h"
#include "tests/support/databasedescription.h"
#include "tests/support/deploymenttesting.h"
#include "tests/support/fileholder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>

namespace Tarvio {
namespace {

using namespace Testing;

const std::string FailureMessage =
    "error: Installation database failed to load.\n\nSome of the previously installed components may not be "
    "properly uninstalled. Please contact Tarvio technical support and attach the following file to your issue "
    "report:\n\n";

class DatabaseFile : public ::testing::Test {
protected:
    Io::Path databasePath() const { return mFolder.path() / "TarvioRemove.xml"; }
    Io::Path copyPath() const { return mFolder.path() / "TarvioRemove.corrupted.xml"; }

    TemporaryFolder mFolder{"databasefile"};
    RecordingUserInterface mUi;
};

TEST_F(DatabaseFile, MissingFileGivesAnEmptyDatabaseQuietly) {
    const UniquePtr<Database> database = loadInstallDatabase(databasePath(), mUi);
    ASSERT_TRUE(database);
    EXPECT_EQ(describe(*database), "");
    EXPECT_TRUE(mUi.messages.empty());
    EXPECT_FALSE(Io::isFile(copyPath()));
}

TEST_F(DatabaseFile, ReadsUtf8WithByteOrderMarkAndWindowsLineEnds) {
    writeBytes(databasePath(), "\xEF\xBB\xBF<Database version=\"1\">\r\n\t<File>C:/M\xC3\xA4x/a.dll</File>\r\n"
                               "\t<Component id=\"X\" corrupted=\"0\">\r\n\t\t<File>b</File>\r\n\t</Component>\r\n"
                               "</Database>\r\n");
    const UniquePtr<Database> database = loadInstallDatabase(databasePath(), mUi);
    EXPECT_EQ(describe(*database), "File C:/M\xC3\xA4x/a.dll\nComponent X name= tags=[] version=\n  File b\n");
    EXPECT_TRUE(mUi.messages.empty());
}

TEST_F(DatabaseFile, FailedLoadIsCopiedAsideAndReportedWithWhatCouldBeRead) {
    const struct {
        const char* what;
        std::string text;
        const char* records;
    } cases[] = {
        {"damaged XML", "<Database version=\"1\"><File>a</File>", ""},
        {"other version", "<Database version=\"2\"><Component id=\"Max2016\" corrupted=\"0\"/></Database>",
         "Component Max2016 name= tags=[] version=\n"},
        {"unknown element", "<Database><Bogus/><File>a</File></Database>", "File a\n"},
        {"UTF-16 byte-order mark", std::string("\xFF\xFE<\0D\0", 6), ""},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        Io::removeFile(copyPath());
        mUi.messages.clear();
        const std::string& text = test.text;
        writeBytes(databasePath(), text);

        const UniquePtr<Database> database = loadInstallDatabase(databasePath(), mUi);
        EXPECT_EQ(describe(*database), test.records);
        EXPECT_EQ(readBytes(copyPath()), text);
        EXPECT_EQ(readBytes(databasePath()), text);
        EXPECT_EQ(mUi.messages, std::vector<std::string>{FailureMessage + utf8Text(copyPath().toNative())});
    }
}

TEST_F(DatabaseFile, FailedCopyReportsTheDatabaseItself) {
    writeBytes(databasePath(), "<Database version=\"x\"/>");
    // A folder in the copy's place cannot be replaced by a file.
    Io::createDirectories(copyPath());
    loadInstallDatabase(databasePath(), mUi);
    EXPECT_EQ(mUi.messages, std::vector<std::string>{FailureMessage + utf8Text(databasePath().toNative())});
}

bool runsUnderWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

TEST_F(DatabaseFile, AFileThatOpensButCannotBeReadThrowsWithoutCopyOrReport) {
    // Taken for damage, the run would go on with an empty database and overwrite the file.
    if (runsUnderWine()) {
        // Wine does not enforce byte-range locks on reads; its host kernel refuses this file's first byte.
        const Io::Path unreadable(L"Z:\\proc\\self\\mem");
        ASSERT_TRUE(Io::isFile(unreadable));
        EXPECT_THROW(loadInstallDatabase(unreadable, mUi), Exception);
        EXPECT_TRUE(mUi.messages.empty());
        EXPECT_FALSE(Io::isFile(unreadable.parent() / "TarvioRemove.corrupted.xml"));
        return;
    }
    writeBytes(databasePath(), "<Database version=\"1\"><File>a</File></Database>");
    const HANDLE holder = CreateFileW(databasePath().toNative().text(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    OVERLAPPED whole = {};
    ASSERT_TRUE(LockFileEx(holder, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole));
    EXPECT_THROW(loadInstallDatabase(databasePath(), mUi), Exception);
    UnlockFileEx(holder, 0, MAXDWORD, MAXDWORD, &whole);
    CloseHandle(holder);
    EXPECT_TRUE(mUi.messages.empty());
    EXPECT_FALSE(Io::isFile(copyPath()));
}

TEST_F(DatabaseFile, RootOfAnotherNameLoadsEmptyWithoutReport) {
    writeBytes(databasePath(), "<Other><File>a</File></Other>");
    EXPECT_EQ(describe(*loadInstallDatabase(databasePath(), mUi)), "");
    EXPECT_TRUE(mUi.messages.empty());
    EXPECT_FALSE(Io::isFile(copyPath()));
}

TEST_F(DatabaseFile, WriteReplacesTheFileWithUtf8AndWindowsLineEnds) {
    writeBytes(databasePath(), std::string(4096, 'x'));
    Database database;
    database.addFile(L"C:/M\u00e4x/a.dll");
    database.createComponent(L"X", L"Name", L"2")->setCorrupted(false);
    RecordingLogger logger;

    writeInstallDatabase(logger, database, databasePath());

    EXPECT_EQ(readBytes(databasePath()), "<Database version=\"1\">\r\n\t<File>C:/M\xC3\xA4x/a.dll</File>\r\n"
                                         "\t<Component id=\"X\" name=\"Name\" tags=\"\" version=\"2\" corrupted=\"0\"/>"
                                         "\r\n</Database>\r\n\r\n");
    EXPECT_EQ(logger.printed, "Writing installation database... done\n");
    RecordingUserInterface ui;
    EXPECT_EQ(describe(*loadInstallDatabase(databasePath(), ui)), describe(database));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DatabaseFile, WriteWaitsForAScannerReadingTheOldDatabase) {
    // Losing the write would lose the record of what the run installed.
    writeBytes(databasePath(), "<Database version=\"1\"/>");
    RecordingLogger logger;
    Database database;
    database.addFile(L"C:/a.dll");
    {
        const FileHolder scanner(databasePath(), std::chrono::milliseconds(300));
        writeInstallDatabase(logger, database, databasePath());
    }
    EXPECT_EQ(logger.printed, "Writing installation database... done\n");
    RecordingUserInterface ui;
    EXPECT_EQ(describe(*loadInstallDatabase(databasePath(), ui)), "File C:/a.dll\n");
}

TEST_F(DatabaseFile, WriteLeavesNoSideFile) {
    RecordingLogger logger;
    writeInstallDatabase(logger, Database(), databasePath());
    EXPECT_TRUE(Io::isFile(databasePath()));
    EXPECT_FALSE(Io::isFile(Io::Path(databasePath().text() + ".new")));
}

TEST_F(DatabaseFile, WriteIntoAMissingFolderThrows) {
    RecordingLogger logger;
    EXPECT_THROW(writeInstallDatabase(logger, Database(), mFolder.path() / "missing" / "TarvioRemove.xml"),
                 std::exception);
}

} // namespace
} // namespace Tarvio
