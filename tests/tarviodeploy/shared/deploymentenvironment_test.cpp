#include "tarviodeploy/shared/deploymentenvironment.h"

#include "tarviolib/io/filesystem.h"
#include "tests/tarviolib/io/testfiles.h"
#include "tools/packwriter/packwriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Tarvio {
namespace {

using Io::Testing::narrow;
using Io::Testing::readBytes;
using Bytes = std::vector<uint8_t>;

Bytes bytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

std::string text(const Array<uint8_t>& content) { return std::string(content.begin(), content.end()); }

class DeploymentEnvironmentTest : public testing::Test {
protected:
    // A pack on disk in the test's folder.
    Io::Path writePack(const char* name, const std::vector<PackWriter::Record>& records) {
        const Bytes pack = PackWriter::pack(records);
        const Io::Path path = mDirectory / name;
        Io::Testing::writeBytes(path, std::string(pack.begin(), pack.end()));
        return path;
    }

    Io::Testing::TemporaryDirectory mDirectory;
    Bytes mEmbedded = PackWriter::pack({PackWriter::stored("both.txt", bytes("embedded")),
                                        PackWriter::compressed("dir/tool.exe", bytes("MZ tool")),
                                        PackWriter::stored("empty.txt", {})});
    UniquePtr<DeploymentEnvironment> mEnvironment =
        makeUnique<DeploymentEnvironment>(mEmbedded.data(), static_cast<int32_t>(mEmbedded.size()));
};

TEST_F(DeploymentEnvironmentTest, TheEmbeddedPackWinsOverAddedPacks) {
    mEnvironment->addPackFile(writePack("added.pack", {PackWriter::stored("both.txt", bytes("added")),
                                                       PackWriter::stored("dir/only.txt", bytes("only"))}));
    EXPECT_EQ(text(mEnvironment->readFile("both.txt").value()), "embedded");
    EXPECT_EQ(text(mEnvironment->readFile("dir/only.txt").value()), "only");
    std::vector<std::string> listed;
    for (const String& name : mEnvironment->listFiles("dir", false, {})) {
        listed.push_back(narrow(name));
    }
    EXPECT_EQ(listed, (std::vector<std::string>{"dir/tool.exe", "dir/only.txt"}));
    EXPECT_EQ(mEnvironment->listFiles("", true, {"EXE"}).size(), 1);
    Io::Testing::expectThrowsMessage([&] { mEnvironment->readFile("missing.txt"); },
                                     "Cannot open/read/write file 'missing.txt'");
}

TEST_F(DeploymentEnvironmentTest, ExtractsIntoNewFoldersAndAnswersTheAbsoluteTarget) {
    const Io::Path target = mDirectory / "new/folder/tool.exe";
    const Result<Io::Path> extracted = mEnvironment->extractFile(target, "dir/tool.exe", 0);
    ASSERT_TRUE(extracted.ok()) << narrow(extracted.error());
    EXPECT_EQ(extracted.value(), target.absolute());
    EXPECT_EQ(readBytes(target), "MZ tool");
    EXPECT_FALSE(mEnvironment->hasTemporaryFiles());

    const Io::Path empty = mDirectory / "empty.txt";
    ASSERT_TRUE(mEnvironment->extractFile(empty, "empty.txt", 0).ok());
    EXPECT_TRUE(Io::isFile(empty));
    EXPECT_EQ(readBytes(empty), "");
}

TEST_F(DeploymentEnvironmentTest, AFailedExtractionNamesTheTargetAsGiven) {
    const Io::Path target = mDirectory / "x/../missing.txt";
    const Result<Io::Path> missing = mEnvironment->extractFile(target, "missing.txt", 1);
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(narrow(missing.error()),
              "Failed to install file " + narrow(target.toNative()) + ": Cannot open/read/write file 'missing.txt'");

    Io::Testing::writeBytes(mDirectory / "file", "a file, not a folder");
    const Result<Io::Path> blocked = mEnvironment->extractFile(mDirectory / "file/sub/a.txt", "both.txt", 1);
    ASSERT_FALSE(blocked.ok());
    EXPECT_EQ(narrow(blocked.error()),
              "Failed to create directory " + narrow((mDirectory / "file/sub").absolute().toNative()));
    EXPECT_FALSE(mEnvironment->hasTemporaryFiles());
}

TEST_F(DeploymentEnvironmentTest, TemporaryFilesAreDeletedOnRequestOrAtTheEnd) {
    const Io::Path first = mDirectory / "first.txt";
    const Io::Path kept = mDirectory / "kept.txt";
    ASSERT_TRUE(mEnvironment->extractFile(first, "both.txt", 1).ok());
    ASSERT_TRUE(mEnvironment->extractFile(first, "both.txt", 1).ok()); // listed twice; the second removal fails
    ASSERT_TRUE(mEnvironment->extractFile(kept, "both.txt", 2).ok());
    EXPECT_TRUE(mEnvironment->hasTemporaryFiles());
    mEnvironment->deleteTemporaryFiles();
    EXPECT_FALSE(Io::isFile(first));
    EXPECT_TRUE(Io::isFile(kept));
    EXPECT_FALSE(mEnvironment->hasTemporaryFiles());
    mEnvironment->deleteTemporaryFiles();
    EXPECT_FALSE(mEnvironment->hasTemporaryFiles());

    const Io::Path second = mDirectory / "second.txt";
    ASSERT_TRUE(mEnvironment->extractFile(second, "both.txt", 1).ok());
    const Io::Path download = writePack("download.pack", {PackWriter::stored("m/a.txt", bytes("m"))});
    const Io::Path local = writePack("local.pack", {PackWriter::stored("m/b.txt", bytes("l"))});
    mEnvironment->addTemporaryPackFile(download);
    mEnvironment->addPackFile(local);
    EXPECT_EQ(text(mEnvironment->readFile("m/a.txt").value()), "m");
    mEnvironment.reset();
    EXPECT_FALSE(Io::isFile(second));
    EXPECT_FALSE(Io::isFile(download));
    EXPECT_TRUE(Io::isFile(local));
}

TEST_F(DeploymentEnvironmentTest, ADamagedPackIsNeitherAddedNorRemembered) {
    const Io::Path damaged = mDirectory / "damaged.pack";
    Io::Testing::writeBytes(damaged, std::string(32, 'x'));
    Io::Testing::expectThrowsMessage([&] { mEnvironment->addTemporaryPackFile(damaged); },
                                     "checkGuard() failed. Guard: 911508769");
    EXPECT_EQ(mEnvironment->listFiles("", true, {}).size(), 3);
    mEnvironment.reset();
    EXPECT_TRUE(Io::isFile(damaged));
}

} // namespace
} // namespace Tarvio
