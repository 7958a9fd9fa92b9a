#include "tarviolib/io/filesystem.h"

#include "tarviolib/core/sharedptr.h"
#include "tarviolib/io/filestream.h"
#include "tests/support/testfiles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace Tarvio::Io {
namespace {

using Testing::readBytes;
using Testing::writeBytes;

class RecordingObserver : public FileSystemObserver {
public:
    std::vector<Path> created;
    void onDirectoryCreated(const Path& directory) override {
        const std::lock_guard<std::mutex> lock(mMutex);
        created.push_back(directory);
    }

private:
    std::mutex mMutex;
};

class CountingObserver : public FileSystemObserver {
public:
    std::atomic<int> count{0};
    void onDirectoryCreated(const Path&) override { ++count; }
};

class FileSystemTest : public testing::Test {
protected:
    FileSystemTest() : mObserver(makeShared<RecordingObserver>()) { addFileSystemObserver(mObserver); }

    const std::vector<Path>& created() const { return mObserver->created; }

    Testing::TemporaryDirectory mDirectory;
    SharedPtr<RecordingObserver> mObserver;
};

TEST_F(FileSystemTest, CreateDirectoriesReportsEachNewLevelInOrder) {
    const Path base = mDirectory.path();
    ASSERT_TRUE(createDirectories(base / "b/c"));
    EXPECT_TRUE(isDirectory(base / "b/c"));
    EXPECT_EQ(created(), (std::vector<Path>{base / "b/", base / "b/c/"}));

    mObserver->created.clear();
    EXPECT_TRUE(createDirectories(base / "b/c"));
    EXPECT_TRUE(createDirectories(base / "b\\c\\"));
    EXPECT_TRUE(createDirectories(Path()));
    EXPECT_TRUE(created().empty());

    // The path as the caller wrote it, doubled separators included.
    EXPECT_TRUE(createDirectories(base / "b//d/"));
    EXPECT_EQ(created(), (std::vector<Path>{base / "b//d/"}));
}

TEST_F(FileSystemTest, AFileInTheWayFailsWithoutReports) {
    writeBytes(mDirectory / "b", "file");
    EXPECT_FALSE(createDirectories(mDirectory / "b/c"));
    EXPECT_TRUE(created().empty());
}

TEST_F(FileSystemTest, FoldersCreatedBeforeAFailureStayReported) {
    // Two new levels, then through ".." a level that is a file.
    ASSERT_TRUE(createDirectories(mDirectory / "a"));
    writeBytes(mDirectory / "a/f", "");
    mObserver->created.clear();
    EXPECT_FALSE(createDirectories(mDirectory / "n/f/../../a/f/g"));
    EXPECT_EQ(created(), (std::vector<Path>{mDirectory / "n/", mDirectory / "n/f/"}));
}

TEST_F(FileSystemTest, DeadObserversAreSkippedAndDropped) {
    SharedPtr<RecordingObserver> second = makeShared<RecordingObserver>();
    addFileSystemObserver(second);
    WeakPtr<RecordingObserver> watched(second);
    second = SharedPtr<RecordingObserver>();
    ASSERT_FALSE(watched.lock());
    EXPECT_TRUE(createDirectories(mDirectory / "one"));
    EXPECT_EQ(created().size(), 1u);
    // Registration keeps the live observers in order.
    SharedPtr<RecordingObserver> third = makeShared<RecordingObserver>();
    addFileSystemObserver(third);
    EXPECT_TRUE(createDirectories(mDirectory / "two"));
    EXPECT_EQ(created().size(), 2u);
    EXPECT_EQ(third->created, std::vector<Path>{mDirectory / "two/"});
}

TEST_F(FileSystemTest, ObserversRegisterAndHearFromSeveralThreads) {
    // The installation creates folders on its own thread while the main thread registers.
    constexpr int Rounds = 200;
    auto work = [&](const char* name) {
        std::vector<SharedPtr<CountingObserver>> kept;
        for (int i = 0; i < Rounds; ++i) {
            kept.push_back(makeShared<CountingObserver>());
            addFileSystemObserver(kept.back());
            addFileSystemObserver(makeShared<CountingObserver>()); // dead at once
            const std::string folder = std::string(name) + "/" + std::to_string(i);
            ASSERT_TRUE(createDirectories(mDirectory / folder.c_str()));
            // Its own folders at least; the other thread's may come in between.
            EXPECT_GE(kept.back()->count, i == 0 ? 2 : 1);
        }
    };
    mObserver->created.clear();
    std::thread one(work, "one");
    std::thread two(work, "two");
    one.join();
    two.join();
    EXPECT_EQ(created().size(), 2u * (Rounds + 1));
}

TEST_F(FileSystemTest, FileTests) {
    const Path empty = mDirectory / "empty";
    const Path one = mDirectory / "one";
    const Path missing = mDirectory / "missing";
    writeBytes(empty, "");
    writeBytes(one, "1");
    struct Case {
        Path path;
        bool directory;
        bool file;
        bool missingOrEmpty;
        int64_t size;
    };
    const Case cases[] = {
        {mDirectory.path(), true, false, true, -2}, {empty, false, true, true, 0},
        {one, false, true, false, 1},               {missing, false, false, true, -1},
        {missing / "below", false, false, true, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Testing::narrow(c.path.toString()));
        EXPECT_EQ(isDirectory(c.path), c.directory);
        EXPECT_EQ(isFile(c.path), c.file);
        EXPECT_EQ(isMissingOrEmptyFile(c.path), c.missingOrEmpty);
        if (c.size != -2) {
            EXPECT_EQ(fileSize(c.path), c.size);
        }
    }
}

TEST_F(FileSystemTest, FileSizeOfAFileOpenForWriting) {
    const Path file = mDirectory / "open";
    FileOutputStream out(file, FileWriteMode::Overwrite);
    out.write("abc", 3);
    out.flush();
    EXPECT_EQ(fileSize(file), 3);
}

TEST_F(FileSystemTest, CopyFileRespectsOverwrite) {
    const Path source = mDirectory / "source";
    const Path target = mDirectory / "target";
    writeBytes(source, "new content");
    writeBytes(target, "old");
    EXPECT_FALSE(copyFile(source, target, false));
    EXPECT_EQ(readBytes(target), "old");
    EXPECT_TRUE(copyFile(source, target, true));
    EXPECT_EQ(readBytes(target), "new content");
    EXPECT_TRUE(copyFile(source, mDirectory / "fresh", false));
    EXPECT_EQ(readBytes(mDirectory / "fresh"), "new content");
}

TEST_F(FileSystemTest, CopyFileOfLargeAndEmptyFiles) {
    const std::string large(3 * 4096 + 5, 'L');
    writeBytes(mDirectory / "large", large);
    writeBytes(mDirectory / "empty", "");
    EXPECT_TRUE(copyFile(mDirectory / "large", mDirectory / "large.copy", false));
    EXPECT_EQ(readBytes(mDirectory / "large.copy"), large);
    EXPECT_TRUE(copyFile(mDirectory / "empty", mDirectory / "empty.copy", false));
    EXPECT_EQ(fileSize(mDirectory / "empty.copy"), 0);
}

TEST_F(FileSystemTest, CopyFileOntoItselfKeepsTheFile) {
    const Path file = mDirectory / "self";
    writeBytes(file, "keep me");
    EXPECT_FALSE(copyFile(file, file, true));
    EXPECT_FALSE(copyFile(file, mDirectory.path() / "." / "self", true));
    EXPECT_EQ(readBytes(file), "keep me");
}

TEST_F(FileSystemTest, CopyFileOfAMissingSourceThrows) {
    Testing::expectThrowsMessage([&] { copyFile(mDirectory / "missing", mDirectory / "target", true); },
                                 "Cannot open/read/write file '" + Testing::narrow((mDirectory / "missing").toString()) +
                                     "'");
}

TEST_F(FileSystemTest, MoveFile) {
    const Path source = mDirectory / "source";
    const Path target = mDirectory / "target";
    writeBytes(source, "moved");
    writeBytes(target, "old");
    EXPECT_FALSE(moveFile(source, target, false));
    EXPECT_EQ(readBytes(target), "old");
    EXPECT_TRUE(moveFile(source, target, true));
    EXPECT_FALSE(isFile(source));
    EXPECT_EQ(readBytes(target), "moved");
    EXPECT_FALSE(moveFile(source, target, true));
}

TEST_F(FileSystemTest, RemoveFileAndDirectory) {
    ASSERT_TRUE(createDirectories(mDirectory / "full"));
    writeBytes(mDirectory / "full/file", "x");
    EXPECT_FALSE(removeDirectory(mDirectory / "full"));
    EXPECT_TRUE(removeFile(mDirectory / "full/file"));
    EXPECT_FALSE(removeFile(mDirectory / "full/file"));
    EXPECT_TRUE(removeDirectory(mDirectory / "full"));
    EXPECT_FALSE(isDirectory(mDirectory / "full"));
}

} // namespace
} // namespace Tarvio::Io
