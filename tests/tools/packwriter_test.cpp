#include "tarviolib/io/packfilevfs.h"

#include "tarviolib/core/string.h"
#include "tests/support/testfiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/wait.h>

namespace Tarvio {
namespace {

namespace fs = std::filesystem;
using Io::Testing::narrow;

class PackWriterProgramTest : public testing::Test {
protected:
    // The program's exit code.
    int run(const std::string& arguments) {
        const std::string command = std::string(TARVIO_PACKWRITER) + " " + arguments + " 2>/dev/null";
        return WEXITSTATUS(std::system(command.c_str()));
    }

    void write(const fs::path& file, const std::string& content) {
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << content;
    }

    std::string content(PackFileVfs& vfs, const char* name) {
        UniquePtr<Io::SeekableBinaryInputStream> stream = vfs.open(name);
        std::string text(static_cast<std::size_t>(vfs.fileSize(name)), '\0');
        Io::readExact(*stream, text.data(), static_cast<int64_t>(text.size()));
        return text;
    }

    std::vector<std::string> names(PackFileVfs& vfs) {
        std::vector<std::string> out;
        for (const String& name : vfs.listFiles("", true, nullptr, 0)) {
            out.push_back(narrow(name));
        }
        return out;
    }

    Io::Testing::TemporaryDirectory mDirectory;
    fs::path mRoot = Io::Testing::toFilesystemPath(mDirectory.path());
    std::string mPack = (mRoot / "out.pack").string();
};

TEST_F(PackWriterProgramTest, PacksFolderTreesRootAfterRootWithTheMethodsGiven) {
    const std::string repeated(4096, 'r');
    write(mRoot / "one/a.txt", "alpha");
    write(mRoot / "one/dir/sub/r.bin", repeated);
    write(mRoot / "one/dir/empty", "");
    write(mRoot / "two/a.txt", "again");
    write(mRoot / "two/b.txt", "bravo");
    ASSERT_EQ(run(mPack + " " + (mRoot / "one").string() + " --method stored " + (mRoot / "two").string()), 0);

    PackFileVfs vfs(Io::Testing::toPath(mPack));
    EXPECT_EQ(names(vfs), (std::vector<std::string>{"a.txt", "b.txt", "dir/empty", "dir/sub/r.bin"}));
    EXPECT_EQ(content(vfs, "a.txt"), "again");
    EXPECT_EQ(vfs.fileId("a.txt"), 3);
    EXPECT_EQ(content(vfs, "dir/sub/r.bin"), repeated);
    EXPECT_EQ(content(vfs, "dir/empty"), "");
    // The repeated bytes went in compressed: the pack is far smaller than its content.
    EXPECT_LT(fs::file_size(mPack), 1000u);
}

TEST_F(PackWriterProgramTest, AddsASingleFileUnderTheNameGivenInItsPlace) {
    write(mRoot / "one/b.txt", "bravo");
    write(mRoot / "loose.bin", "loose");
    ASSERT_EQ(run(mPack + " --file z/named.txt " + (mRoot / "loose.bin").string() + " " + (mRoot / "one").string()), 0);

    PackFileVfs vfs(Io::Testing::toPath(mPack));
    EXPECT_EQ(names(vfs), (std::vector<std::string>{"b.txt", "z/named.txt"}));
    EXPECT_EQ(content(vfs, "z/named.txt"), "loose");
    EXPECT_EQ(vfs.fileId("z/named.txt"), 0);
    EXPECT_EQ(run(mPack + " --file z/named.txt"), 2);
}

TEST_F(PackWriterProgramTest, AFailedRunLeavesNoPack) {
    EXPECT_EQ(run(mPack + " " + (mRoot / "missing").string()), 1);
    EXPECT_FALSE(fs::exists(mPack));
    EXPECT_FALSE(fs::exists(mPack + ".partial"));
    EXPECT_EQ(run(mPack + " --method zip " + mRoot.string()), 2);
    EXPECT_EQ(run(""), 2);
}

} // namespace
} // namespace Tarvio
