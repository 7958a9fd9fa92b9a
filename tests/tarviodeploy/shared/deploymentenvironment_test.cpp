#include "tarviodeploy/shared/deploymentenvironment.h"

#include "tarviolib/io/filesystem.h"
#include "tarviolib/io/readaheadinputstream.h"
#include "tests/support/testfiles.h"
#include "tools/packwriter/packwriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace Tarvio {
namespace {

using Io::Testing::narrow;
using Io::Testing::readBytes;
using Bytes = std::vector<uint8_t>;

Bytes bytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

std::string text(const Array<uint8_t>& content) { return std::string(content.begin(), content.end()); }

std::set<std::string> namesIn(const Io::Path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(Io::Testing::toFilesystemPath(folder))) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// Several read-ahead blocks, not a whole number of them.
std::string largeContent() {
    std::string content;
    for (uint64_t i = 0; content.size() < 2 * Io::ReadAheadInputStream::BlockSize + 5000; ++i) {
        content += "entry " + std::to_string(i * 7919 % 100003) + ";";
    }
    return content;
}

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

TEST_F(DeploymentEnvironmentTest, LargeFilesReplaceTheTargetWhole) {
    const std::string large = largeContent();
    mEnvironment->addPackFile(writePack("large.pack", {PackWriter::stored("stored.bin", bytes(large)),
                                                       PackWriter::compressed("compressed.bin", bytes(large))}));
    const Io::Path target = mDirectory / "large.bin";
    for (const char* source : {"stored.bin", "compressed.bin"}) {
        Io::Testing::writeBytes(target, "old content");
        ASSERT_TRUE(mEnvironment->extractFile(target, source, 0).ok()) << source;
        EXPECT_TRUE(readBytes(target) == large) << source;
        EXPECT_EQ(namesIn(mDirectory.path()), (std::set<std::string>{"large.pack", "large.bin"}));
    }
}

TEST_F(DeploymentEnvironmentTest, AFailureMidwayLeavesTheTargetAsItWas) {
    const std::string large = largeContent();
    PackWriter::Record corrupt = PackWriter::compressed("corrupt.bin", bytes(large));
    corrupt.bytes[corrupt.bytes.size() / 2] ^= 0x5A;
    const std::vector<PackWriter::Record> records = {PackWriter::stored("cut.bin", bytes(large)), corrupt};
    const Bytes pack = PackWriter::pack(records);
    const Io::Path packPath = writePack("cut.pack", records);
    mEnvironment->addPackFile(packPath);
    // Cut inside the stored file, after its first blocks.
    Io::Testing::writeBytes(packPath, std::string(pack.begin(), pack.begin() + 8 + large.size() * 2 / 3));

    const Io::Path target = mDirectory / "kept.bin";
    const struct {
        const char* source;
        std::string message;
    } cases[] = {
        {"cut.bin", "Error reading packed file stream"},
        // As when opening it: a compressed file that does not inflate is passed over.
        {"corrupt.bin", "Cannot open/read/write file 'corrupt.bin'"},
    };
    for (const auto& c : cases) {
        Io::Testing::writeBytes(target, "old content");
        const Result<Io::Path> result = mEnvironment->extractFile(target, c.source, 1);
        ASSERT_FALSE(result.ok()) << c.source;
        EXPECT_EQ(narrow(result.error()), "Failed to install file " + narrow(target.toNative()) + ": " + c.message);
        EXPECT_EQ(readBytes(target), "old content");
        EXPECT_EQ(namesIn(mDirectory.path()), (std::set<std::string>{"cut.pack", "kept.bin"}));
    }
    EXPECT_FALSE(mEnvironment->hasTemporaryFiles());

    // A later pack's copy of a file that does not inflate in an earlier one is used instead.
    mEnvironment->addPackFile(writePack("good.pack", {PackWriter::compressed("corrupt.bin", bytes(large))}));
    ASSERT_TRUE(mEnvironment->extractFile(target, "corrupt.bin", 0).ok());
    EXPECT_TRUE(readBytes(target) == large);
}

TEST_F(DeploymentEnvironmentTest, ATargetThatCannotBeReplacedIsNamed) {
    const Io::Path target = mDirectory / "folder";
    ASSERT_TRUE(Io::createDirectories(target));
    const Result<Io::Path> result = mEnvironment->extractFile(target, "both.txt", 0);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(narrow(result.error()), "Failed to install file " + narrow(target.toNative()) +
                                          ": Cannot open/read/write file '" + narrow(target.absolute().toString()) +
                                          "'");
    EXPECT_TRUE(Io::isDirectory(target));
    EXPECT_EQ(namesIn(mDirectory.path()), std::set<std::string>{"folder"});
}

TEST_F(DeploymentEnvironmentTest, TemporaryFilesAndThenTheirFoldersAreDeletedOnRequestOrAtTheEnd) {
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

    // The folders only go once they are empty.
    const Io::Path folder = mDirectory / "private";
    const Io::Path held = mDirectory / "held";
    ASSERT_TRUE(Io::createDirectories(folder));
    ASSERT_TRUE(Io::createDirectories(held));
    Io::Testing::writeBytes(held / "other.txt", "not the environment's");
    mEnvironment->addTemporaryFolder(folder);
    mEnvironment->addTemporaryFolder(held);
    const Io::Path second = folder / "second.txt";
    ASSERT_TRUE(mEnvironment->extractFile(second, "both.txt", 1).ok());
    const Io::Path download = writePack("private/download.pack", {PackWriter::stored("m/a.txt", bytes("m"))});
    const Io::Path local = writePack("local.pack", {PackWriter::stored("m/b.txt", bytes("l"))});
    mEnvironment->addTemporaryPackFile(download);
    mEnvironment->addPackFile(local);
    EXPECT_EQ(text(mEnvironment->readFile("m/a.txt").value()), "m");
    mEnvironment.reset();
    EXPECT_FALSE(Io::isFile(second));
    EXPECT_FALSE(Io::isFile(download));
    EXPECT_TRUE(Io::isFile(local));
    EXPECT_FALSE(Io::isDirectory(folder));
    EXPECT_TRUE(Io::isFile(held / "other.txt"));
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

TEST_F(DeploymentEnvironmentTest, LoadsPicturesAndReportsWhatDoesNotDecode) {
    // A 2 x 1 grey TGA, and the same cut inside its pixels.
    const Bytes tga = {0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 8, 0, 7, 9};
    mEnvironment->addPackFile(writePack("pictures.pack", {PackWriter::compressed("gui/grey.TGA", tga),
                                                          PackWriter::stored("gui/cut.tga", Bytes(tga.begin(), tga.end() - 1)),
                                                          PackWriter::stored("gui/empty.tga", {}),
                                                          PackWriter::stored("gui/logo.svg", bytes("<svg/>"))}));
    const Result<Image> grey = mEnvironment->loadImage("gui/grey.TGA");
    ASSERT_TRUE(grey.ok()) << grey.error();
    EXPECT_EQ(grey.value().format(), PixelFormat::Gray8);
    EXPECT_EQ(grey.value().width(), 2);
    EXPECT_EQ(grey.value().pixels()[1], 9);

    const Result<Image> cut = mEnvironment->loadImage("gui/cut.tga");
    ASSERT_FALSE(cut.ok());
    EXPECT_EQ(cut.error(), "Could not extract the required number of bytes from the input stream");

    // An empty file is read into an empty array, without a block: the loader itself refuses it.
    const Result<Image> empty = mEnvironment->loadImage("gui/empty.tga");
    ASSERT_FALSE(empty.ok());
    EXPECT_EQ(empty.error(), "Could not load object from the stream.");

    Io::Testing::expectThrowsMessage([&] { mEnvironment->loadImage("gui/logo.svg"); },
                                     "Unrecognized bitmap format in filename \"gui/logo.svg\"");
    Io::Testing::expectThrowsMessage([&] { mEnvironment->loadImage("gui/missing.png"); },
                                     "Cannot open/read/write file 'gui/missing.png'");
}

} // namespace
} // namespace Tarvio
