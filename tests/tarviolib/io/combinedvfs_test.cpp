#include "tarviolib/io/combinedvfs.h"

#include "tarviolib/core/exception.h"
#include "tarviolib/io/memoryinputstream.h"
#include "tests/support/testfiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Tarvio::Io {
namespace {

using Testing::expectThrowsMessage;
using Testing::narrow;

// Holds one file, named by the text it reads as; optionally throws from every operation.
class FakeVfs : public VirtualFileSystem {
public:
    FakeVfs(std::string name, std::string file, int64_t id, bool throws, std::vector<std::string>& log)
        : mName(std::move(name)), mFile(std::move(file)), mId(id), mThrows(throws), mLog(log) {}

    UniquePtr<SeekableBinaryInputStream> open(const Path& file) override {
        ask("open");
        if (!holds(file)) {
            throwException("not here");
        }
        return makeUnique<MemoryInputStream>(mName.data(), static_cast<int64_t>(mName.size()));
    }
    bool exists(const Path& file) override { return ask("exists"), holds(file); }
    int64_t fileId(const Path& file) override {
        ask("fileId");
        if (!holds(file)) {
            throwException("not here");
        }
        return mId;
    }
    int64_t fileSize(const Path& file) override {
        return ask("fileSize"), holds(file) ? static_cast<int64_t>(mName.size()) : -1;
    }
    Array<String> listFiles(const Path&, bool, const String*, int32_t) override {
        ask("listFiles");
        return {String::fromUtf8(mFile.c_str())};
    }

private:
    void ask(const char* operation) {
        mLog.push_back(mName + "." + operation);
        if (mThrows) {
            throwException(String::fromUtf8((mName + " fails").c_str()));
        }
    }
    bool holds(const Path& file) const { return narrow(file.toString()) == mFile; }

    std::string mName;
    std::string mFile;
    int64_t mId;
    bool mThrows;
    std::vector<std::string>& mLog;
};

class CombinedVfsTest : public testing::Test {
protected:
    void add(const char* name, const char* file, int64_t id, bool throws = false) {
        mVfs.add(SharedPtr<VirtualFileSystem>(new FakeVfs(name, file, id, throws, mLog)));
    }
    std::string content(const char* file) {
        UniquePtr<SeekableBinaryInputStream> stream = mVfs.open(file);
        std::string text(16, '\0');
        text.resize(static_cast<std::size_t>(stream->read(text.data(), 16)));
        return text;
    }

    std::vector<std::string> mLog;
    CombinedVfs mVfs;
};

TEST_F(CombinedVfsTest, AnEmptyOneHoldsNothing) {
    expectThrowsMessage([&] { mVfs.open("a/b.txt"); }, "Cannot open/read/write file 'a/b.txt'");
    expectThrowsMessage([&] { mVfs.fileId("a\\b.txt"); }, "Cannot open/read/write file 'a/b.txt'");
    EXPECT_FALSE(mVfs.exists("a/b.txt"));
    EXPECT_EQ(mVfs.fileSize("a/b.txt"), -1);
    EXPECT_TRUE(mVfs.listFiles("", true, nullptr, 0).isEmpty());
}

TEST_F(CombinedVfsTest, TheEarliestMemberHoldingAFileAnswersAndListingsConcatenate) {
    add("one", "other.txt", 7);
    add("second", "a/b.txt", 1);
    add("third", "a/b.txt", 2);
    EXPECT_EQ(content("a/b.txt"), "second");
    EXPECT_EQ(mVfs.fileSize("a/b.txt"), 6);
    EXPECT_EQ(mVfs.fileId("a/b.txt"), 1);
    EXPECT_TRUE(mVfs.exists("a/b.txt"));
    EXPECT_EQ(mLog, (std::vector<std::string>{"one.open", "second.open", "one.fileSize", "second.fileSize",
                                              "one.fileId", "second.fileId", "one.exists", "second.exists"}));
    const Array<String> files = mVfs.listFiles("a", true, nullptr, 0);
    ASSERT_EQ(files.size(), 3);
    EXPECT_EQ(narrow(files[0]), "other.txt");
    EXPECT_EQ(narrow(files[1]), "a/b.txt");
    EXPECT_EQ(narrow(files[2]), "a/b.txt");
}

TEST_F(CombinedVfsTest, OpenAndFileIdPassOverAFailingMemberTheOthersDoNot) {
    add("broken", "a/b.txt", 1, true);
    add("good", "a/b.txt", 2);
    EXPECT_EQ(content("a/b.txt"), "good");
    EXPECT_EQ(mVfs.fileId("a/b.txt"), 2);
    expectThrowsMessage([&] { mVfs.open("missing"); }, "Cannot open/read/write file 'missing'");
    expectThrowsMessage([&] { mVfs.exists("a/b.txt"); }, "broken fails");
    expectThrowsMessage([&] { mVfs.fileSize("a/b.txt"); }, "broken fails");
    expectThrowsMessage([&] { mVfs.listFiles("", true, nullptr, 0); }, "broken fails");
}

} // namespace
} // namespace Tarvio::Io
