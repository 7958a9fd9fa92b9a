#include "tarviolib/io/combinedvfs.h"

#include "tarviolib/core/badalloc.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/core/function.h"
#include "tarviolib/core/heapallocator.h"
#include "tarviolib/io/memoryinputstream.h"
#include "tests/support/testfiles.h"

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

namespace Tarvio::Io {
namespace {

using Testing::expectThrowsMessage;
using Testing::narrow;

// How every operation of a member fails, if at all.
enum class Fails { Never, WithException, OutOfMemory };

// Holds one file, named by the text it reads as; optionally fails in every operation.
class FakeVfs : public VirtualFileSystem {
public:
    FakeVfs(std::string name, std::string file, int64_t id, Fails fails, std::vector<std::string>& log)
        : mName(std::move(name)), mFile(std::move(file)), mId(id), mFails(fails), mLog(log) {}

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
        if (mFails == Fails::WithException) {
            throwException(String::fromUtf8((mName + " fails").c_str()));
        }
        if (mFails == Fails::OutOfMemory) {
            throw std::bad_alloc(); // as the standard library's own allocations fail
        }
    }
    bool holds(const Path& file) const { return narrow(file.toString()) == mFile; }

    std::string mName;
    std::string mFile;
    int64_t mId;
    Fails mFails;
    std::vector<std::string>& mLog;
};

class CombinedVfsTest : public testing::Test {
protected:
    void add(const char* name, const char* file, int64_t id, Fails fails = Fails::Never) {
        mVfs.add(SharedPtr<VirtualFileSystem>(new FakeVfs(name, file, id, fails, mLog)));
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
    add("broken", "a/b.txt", 1, Fails::WithException);
    add("good", "a/b.txt", 2);
    EXPECT_EQ(content("a/b.txt"), "good");
    EXPECT_EQ(mVfs.fileId("a/b.txt"), 2);
    expectThrowsMessage([&] { mVfs.open("missing"); }, "Cannot open/read/write file 'missing'");
    expectThrowsMessage([&] { mVfs.exists("a/b.txt"); }, "broken fails");
    expectThrowsMessage([&] { mVfs.fileSize("a/b.txt"); }, "broken fails");
    expectThrowsMessage([&] { mVfs.listFiles("", true, nullptr, 0); }, "broken fails");
}

TEST_F(CombinedVfsTest, OutOfMemoryInAMemberPassesInsteadOfAskingTheNext) {
    // A member that ran out of memory says nothing about whether it holds the file.
    const Path file("a/b.txt");
    const struct {
        const char* operation;
        Function<void()> ask;
    } operations[] = {
        {"open", [&] { mVfs.open(file); }},
        {"fileId", [&] { mVfs.fileId(file); }},
    };
    add("first", "a/b.txt", 1);
    add("second", "a/b.txt", 2);
    for (const auto& operation : operations) {
        SCOPED_TRACE(operation.operation);
        const std::vector<std::string> firstOnly = {std::string("first.") + operation.operation};
        // Each allocation of the first member's answer in turn fails.
        int32_t failures = 0;
        for (int32_t after = 0;; ++after) {
            mLog.clear();
            HeapAllocator::failAllocationAfter(after);
            try {
                operation.ask();
                if (HeapAllocator::failAllocationAfter(-1) >= 0) {
                    break; // answered before the failing allocation
                }
                ADD_FAILURE() << "allocation " << after << " failed without BadAlloc";
            } catch (const BadAlloc&) {
                ++failures;
                EXPECT_EQ(mLog, firstOnly) << "allocation " << after;
            }
        }
        EXPECT_GT(failures, 0);
    }

    // The standard library's own out-of-memory exception, too.
    CombinedVfs starved;
    starved.add(SharedPtr<VirtualFileSystem>(new FakeVfs("starved", "a/b.txt", 1, Fails::OutOfMemory, mLog)));
    starved.add(SharedPtr<VirtualFileSystem>(new FakeVfs("good", "a/b.txt", 2, Fails::Never, mLog)));
    mLog.clear();
    EXPECT_THROW(starved.open(file), std::bad_alloc);
    EXPECT_THROW(starved.fileId(file), std::bad_alloc);
    EXPECT_EQ(mLog, (std::vector<std::string>{"starved.open", "starved.fileId"}));
}

} // namespace
} // namespace Tarvio::Io
