#include "tarviolib/io/filestream.h"

#include "tarviolib/core/exception.h"
#include "tarviolib/io/filesystem.h"
#include "tarviolib/io/memoryinputstream.h"
#include "tests/support/testfiles.h"

#include <gtest/gtest.h>

#include <string>

namespace Tarvio::Io {
namespace {

using Testing::expectThrowsMessage;
using Testing::narrow;
using Testing::readBytes;
using Testing::writeBytes;

std::string accessMessage(const Path& path) { return "Cannot open/read/write file '" + narrow(path.toString()) + "'"; }

std::string readString(BinaryInputStream& stream, int64_t size) {
    std::string bytes(static_cast<std::size_t>(size), '\0');
    bytes.resize(static_cast<std::size_t>(stream.read(bytes.data(), size)));
    return bytes;
}

class FileStreamTest : public testing::Test {
protected:
    Testing::TemporaryDirectory mDirectory;
};

TEST_F(FileStreamTest, OpeningAMissingFileNamesItWithForwardSlashes) {
    const Path missing = mDirectory / "missing.bin";
    expectThrowsMessage([&] { FileInputStream stream(missing); }, accessMessage(missing));
    EXPECT_EQ(accessMessage(missing).find('\\'), std::string::npos);
    expectThrowsMessage([&] { FileOutputStream stream(mDirectory / "no/such/folder", FileWriteMode::Overwrite); },
                        accessMessage(mDirectory / "no/such/folder"));
    expectThrowsMessage([&] { FileInputStream stream(mDirectory.path()); }, accessMessage(mDirectory.path()));
}

TEST_F(FileStreamTest, ReadsWithEndFlagAndBoundedSeeks) {
    const Path file = mDirectory / "data.bin";
    writeBytes(file, "0123456789");
    FileInputStream stream(file);
    EXPECT_EQ(stream.fileName(), file);
    EXPECT_EQ(readString(stream, 10), "0123456789");
    EXPECT_FALSE(stream.isEof());
    EXPECT_EQ(readString(stream, 1), "");
    EXPECT_TRUE(stream.isEof());

    stream.seekg(0, SeekOrigin::End);
    EXPECT_FALSE(stream.isEof());
    EXPECT_EQ(stream.tellg(), 10);
    expectThrowsMessage([&] { stream.seekg(1, SeekOrigin::End); }, accessMessage(file));
    expectThrowsMessage([&] { stream.seekg(11, SeekOrigin::Begin); }, accessMessage(file));
    expectThrowsMessage([&] { stream.seekg(-11, SeekOrigin::Current); }, accessMessage(file));
    EXPECT_EQ(stream.tellg(), 10);

    stream.seekg(-4, SeekOrigin::Current);
    char bytes[2];
    ASSERT_EQ(stream.read(bytes, 2), 2);
    stream.putBack(bytes, 2);
    EXPECT_EQ(readString(stream, 3), "678");
}

TEST_F(FileStreamTest, UnknownOriginsAreStops) {
    const Path file = mDirectory / "data.bin";
    writeBytes(file, "x");
    FileInputStream in(file);
    expectThrowsMessage([&] { in.seekg(0, static_cast<SeekOrigin>(7)); }, "STOP@tarviolib/io/stream(389)");
    FileOutputStream out(mDirectory / "out.bin", FileWriteMode::Overwrite);
    expectThrowsMessage([&] { out.seekp(0, static_cast<SeekOrigin>(7)); }, "STOP@tarviolib/io/stream(342)");
}

TEST_F(FileStreamTest, OverwriteReplacesAndAppendAddsAtTheEnd) {
    const Path file = mDirectory / "out.txt";
    writeBytes(file, "old content");
    {
        FileOutputStream out(file, FileWriteMode::Overwrite);
        EXPECT_EQ(out.tellp(), 0);
        out.write("abcdef", 6);
        out.seekp(1, SeekOrigin::Begin);
        out.write("X", 1);
        out.close();
    }
    EXPECT_EQ(readBytes(file), "aXcdef");
    {
        FileOutputStream out(file, FileWriteMode::Append);
        EXPECT_EQ(out.tellp(), 6);
        out.seekp(0, SeekOrigin::Begin);
        out.write("gh", 2);
        out.flush();
        EXPECT_EQ(readBytes(file), "aXcdefgh");
    }
    {
        FileOutputStream out(mDirectory / "new.txt", FileWriteMode::Append);
        out.write("n", 1);
    }
    EXPECT_EQ(readBytes(mDirectory / "new.txt"), "n");
}

TEST_F(FileStreamTest, AClosedStreamRefusesFurtherUse) {
    const Path file = mDirectory / "out.txt";
    FileOutputStream out(file, FileWriteMode::Overwrite);
    out.write("a", 1);
    out.close();
    EXPECT_EQ(readBytes(file), "a");
    expectThrowsMessage([&] { out.write("b", 1); }, accessMessage(file));
    expectThrowsMessage([&] { out.close(); }, accessMessage(file));
}

TEST_F(FileStreamTest, WriteFileReplacesTheFile) {
    const Path file = mDirectory / "written.bin";
    writeBytes(file, "longer old content");
    writeFile(file, "\0\1\2", 3);
    EXPECT_EQ(readBytes(file), std::string("\0\1\2", 3));
    writeFile(file, nullptr, 0);
    EXPECT_TRUE(isFile(file));
    EXPECT_EQ(fileSize(file), 0);
}

TEST_F(FileStreamTest, CopyStreamToFileWritesAndReports) {
    const Path file = mDirectory / "copy.bin";
    const std::string content(70000, 'c');
    MemoryInputStream in(content.data(), static_cast<int64_t>(content.size()));
    int32_t calls = 0;
    EXPECT_EQ(copyStreamToFile(in, file, [&](int64_t) { ++calls; }), 70000);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(readBytes(file), content);
}

// Delivers one block, then fails.
class FailingInputStream : public BinaryInputStream {
protected:
    int64_t readImpl(void* data, int64_t size) override {
        if (mDelivered) {
            throwException("source failed");
        }
        mDelivered = true;
        std::fill_n(static_cast<char*>(data), size, 'x');
        return size;
    }
    bool isEofImpl() const override { return false; }

private:
    bool mDelivered = false;
};

TEST_F(FileStreamTest, AFailedCopyLeavesNoFile) {
    const Path file = mDirectory / "partial.bin";
    writeBytes(file, "previous");
    FailingInputStream in;
    int64_t reported = 0;
    expectThrowsMessage([&] { copyStreamToFile(in, file, [&](int64_t total) { reported = total; }); },
                        "source failed");
    EXPECT_EQ(reported, 65536);
    EXPECT_FALSE(isFile(file));
}

TEST_F(FileStreamTest, AProgressExceptionLeavesNoFileEither) {
    const Path file = mDirectory / "cancelled.bin";
    MemoryInputStream in("abc", 3);
    expectThrowsMessage([&] { copyStreamToFile(in, file, [](int64_t) { throwException("cancelled"); }); },
                        "cancelled");
    EXPECT_FALSE(isFile(file));
}

} // namespace
} // namespace Tarvio::Io
