#include "tarviolib/io/filestream.h"

#include "tarviolib/io/filesystem.h"
#include "tarviolib/io/textstream.h"
#include "tests/support/testfiles.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace Tarvio::Io {
namespace {

using Testing::readBytes;
using Testing::writeBytes;

DWORD attributes(const Path& path) { return GetFileAttributesW(path.toNativeBuffer().text()); }

class FileStreamWindowsTest : public testing::Test {
protected:
    Testing::TemporaryDirectory mDirectory;
};

TEST_F(FileStreamWindowsTest, HiddenSystemFilesCanBeReplacedAndKeepTheirAttributes) {
    const Path file = mDirectory / "hidden.dat";
    writeBytes(file, "old content");
    ASSERT_TRUE(SetFileAttributesW(file.toNativeBuffer().text(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    {
        FileOutputStream out(file, FileWriteMode::Overwrite);
        out.write("new", 3);
        out.close();
    }
    EXPECT_EQ(readBytes(file), "new");
    EXPECT_NE(attributes(file) & FILE_ATTRIBUTE_HIDDEN, 0u);
    {
        FileOutputStream out(file, FileWriteMode::Append);
        out.write("er", 2);
    }
    EXPECT_EQ(readBytes(file), "newer");
    SetFileAttributesW(file.toNativeBuffer().text(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(FileStreamWindowsTest, ReadersShareWithWritersButWritersDoNotShareWriting) {
    const Path file = mDirectory / "shared.dat";
    FileOutputStream out(file, FileWriteMode::Overwrite);
    out.write("abc", 3);
    out.flush();
    FileInputStream in(file);
    char bytes[3];
    EXPECT_EQ(in.read(bytes, 3), 3);
    EXPECT_THROW(FileOutputStream(file, FileWriteMode::Append), Exception);
}

// Wine opens Z:\dev\full as a file that refuses every byte (ERROR_DISK_FULL). Fewer bytes than the
// runtime's buffer holds reach it only when the buffer is flushed at the close, and a close that lost
// them must fail: the caller would commit an empty file otherwise.
TEST(FileStreamFullDiskTest, BytesThatCannotBeWrittenFailTheCloseAtTheLatest) {
    const Path full("Z:/dev/full");
    const std::string refused = "Cannot open/read/write file 'Z:/dev/full'";
    Testing::expectThrowsMessage(
        [&] {
            FileOutputStream out(full, FileWriteMode::Overwrite);
            out.write("abc", 3);
            out.close();
        },
        refused);
    Testing::expectThrowsMessage([&] { writeFile(full, "abc", 3); }, refused);
    Testing::expectThrowsMessage(
        [&] {
            TextOutputStream out(full, TextEncoding::Utf8, TextOutputFlag::Overwrite);
            out.write(L"abc");
            out.close();
        },
        refused);
}

TEST(PathWindowsTest, AbsoluteResolvesTheFinalName) {
    Testing::TemporaryDirectory directory;
    const Path folder = directory.path();
    ASSERT_TRUE(createDirectories(folder / "Sub"));
    const Path lowerCased(folder.toString() + L"/sub/");
    EXPECT_EQ(lowerCased.absolute(), folder.absolute() / "Sub");
    EXPECT_EQ(Path("C:/x/../y").absolute(), Path("C:/y"));
}

} // namespace
} // namespace Tarvio::Io
