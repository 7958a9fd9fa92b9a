#include "tarviolib/io/stream.h"

#include "tarviolib/core/exception.h"
#include "tarviolib/io/memoryinputstream.h"
#include "tests/support/testfiles.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace Tarvio::Io {
namespace {

using Testing::expectThrowsMessage;
using Testing::StringInputStream;
using Testing::StringOutputStream;

const char PutBackMessage[] = "Io::BinaryInputStream::putBack() - putting back more than acquired during the last read.";

std::string readString(BinaryInputStream& stream, int64_t size) {
    std::string bytes(static_cast<std::size_t>(size), '\0');
    bytes.resize(static_cast<std::size_t>(stream.read(bytes.data(), size)));
    return bytes;
}

TEST(BinaryInputStreamTest, PutBackBytesAreReadFirstThenTheStreamGoesOn) {
    StringInputStream stream("0123456789abcdefghij");
    char bytes[10];
    ASSERT_EQ(stream.read(bytes, 10), 10);
    stream.putBack(bytes + 6, 4);
    EXPECT_FALSE(stream.isEof());
    EXPECT_EQ(readString(stream, 10), "6789abcdef");
    EXPECT_EQ(stream.readCalls(), 2);
    // The buffer is gone: the next read reaches the stream again.
    EXPECT_EQ(readString(stream, 2), "gh");
    EXPECT_EQ(stream.readCalls(), 3);
}

TEST(BinaryInputStreamTest, PutBackAfterAReadFromTheBufferMovesBackWithinIt) {
    StringInputStream stream("abcdef");
    char bytes[6];
    ASSERT_EQ(stream.read(bytes, 4), 4);
    stream.putBack(bytes, 4);
    ASSERT_EQ(stream.read(bytes, 2), 2);
    stream.putBack(bytes, 2);
    EXPECT_EQ(readString(stream, 6), "abcdef");
}

TEST(BinaryInputStreamTest, PutBackBeyondTheLastReadThrows) {
    StringInputStream stream("abcdef");
    char bytes[4];
    stream.read(bytes, 0);
    expectThrowsMessage([&] { stream.putBack(bytes, 1); }, PutBackMessage);
    stream.read(nullptr, 4);
    expectThrowsMessage([&] { stream.putBack(bytes, 1); }, PutBackMessage);
    ASSERT_EQ(stream.read(bytes, 3), 3);
    expectThrowsMessage([&] { stream.putBack(bytes, 4); }, PutBackMessage);
    // A second put-back of the same read would reach before the buffered bytes.
    stream.putBack(bytes, 3);
    expectThrowsMessage([&] { stream.putBack(bytes, 1); }, PutBackMessage);
    EXPECT_EQ(readString(stream, 6), "abcdef");
}

TEST(BinaryInputStreamTest, EmptyPutBackDoesNothing) {
    StringInputStream stream("ab");
    char bytes[2];
    stream.putBack(nullptr, 5);
    stream.putBack(bytes, 0);
    EXPECT_EQ(readString(stream, 2), "ab");
}

TEST(MemoryInputStreamTest, EndFlagAndSeekBounds) {
    const char data[] = "12345";
    MemoryInputStream stream(data, 5);
    char bytes[5];
    EXPECT_EQ(stream.read(bytes, 5), 5);
    EXPECT_FALSE(stream.isEof());
    EXPECT_EQ(stream.read(bytes, 1), 0);
    EXPECT_TRUE(stream.isEof());
    stream.seekg(5, SeekOrigin::Begin);
    EXPECT_FALSE(stream.isEof());
    EXPECT_EQ(stream.tellg(), 5);
    for (int64_t target : {6, -1}) {
        expectThrowsMessage([&] { stream.seekg(target, SeekOrigin::Begin); },
                            "MemoryInputStream: seeking outside memory boundaries.");
    }
    EXPECT_EQ(stream.tellg(), 5);
    stream.seekg(-2, SeekOrigin::End);
    stream.seekg(-1, SeekOrigin::Current);
    EXPECT_EQ(readString(stream, 5), "345");
    EXPECT_TRUE(stream.isEof());
}

TEST(MemoryInputStreamTest, PutBackSeeksBack) {
    const char data[] = "abc";
    MemoryInputStream stream(data, 3);
    char bytes[3];
    stream.read(bytes, 3);
    stream.putBack(bytes + 1, 2);
    EXPECT_EQ(stream.tellg(), 1);
    EXPECT_EQ(readString(stream, 3), "bc");
}

TEST(MemoryInputStreamTest, WithoutDataEveryOperationThrows) {
    MemoryInputStream stream;
    char byte;
    const char* message = "Using uninitialized MemoryInputStream";
    expectThrowsMessage([&] { stream.read(&byte, 1); }, message);
    expectThrowsMessage([&] { stream.isEof(); }, message);
    expectThrowsMessage([&] { stream.tellg(); }, message);
    expectThrowsMessage([&] { stream.seekg(0, SeekOrigin::Begin); }, message);
    stream.reset("xy", 2);
    EXPECT_EQ(readString(stream, 2), "xy");
}

TEST(MemoryInputStreamTest, UnknownOriginIsAStop) {
    MemoryInputStream stream("x", 1);
    expectThrowsMessage([&] { stream.seekg(0, static_cast<SeekOrigin>(3)); }, "STOP@tarviolib/io/stream(759)");
}

TEST(ArrayInputStreamTest, OwnsItsBytes) {
    ByteBuffer bytes(3);
    std::memcpy(bytes.data(), "abc", 3);
    ArrayInputStream<HeapAllocator, int64_t> stream(std::move(bytes));
    EXPECT_EQ(readString(stream, 4), "abc");
    EXPECT_TRUE(stream.isEof());

}

// An empty block has no pointer (an empty Array or ByteBuffer has none), yet it is a stream of 0
// bytes, not an uninitialised one.
TEST(MemoryInputStreamTest, EmptyBlockIsAnEmptyStream) {
    ArrayInputStream<HeapAllocator, int64_t> owned{ByteBuffer()};
    MemoryInputStream borrowed(nullptr, 0);
    for (SeekableBinaryInputStream* stream : {static_cast<SeekableBinaryInputStream*>(&owned),
                                              static_cast<SeekableBinaryInputStream*>(&borrowed)}) {
        EXPECT_EQ(stream->tellg(), 0);
        EXPECT_FALSE(stream->isEof());
        EXPECT_EQ(readString(*stream, 1), "");
        EXPECT_TRUE(stream->isEof());
        stream->seekg(0, SeekOrigin::End);
        EXPECT_FALSE(stream->isEof());
        expectThrowsMessage([&] { stream->seekg(1, SeekOrigin::Begin); },
                            "MemoryInputStream: seeking outside memory boundaries.");
    }
    // A null pointer with bytes to read is no block at all.
    MemoryInputStream missing(nullptr, 4);
    expectThrowsMessage([&] { missing.tellg(); }, "Using uninitialized MemoryInputStream");
}

TEST(ReadHelpersTest, ExactReadsAndObjects) {
    const unsigned char data[] = {0x78, 0x56, 0x34, 0x12, 1, 0, 0, 0, 0, 0, 0, 0x80, 9};
    MemoryInputStream stream(data, sizeof data);
    uint32_t word = 0;
    readObject(stream, word);
    EXPECT_EQ(word, 0x12345678u);
    int64_t wide = 0;
    readObject(stream, wide);
    EXPECT_EQ(wide, static_cast<int64_t>(0x8000000000000001ull));
    char bytes[2];
    expectThrowsMessage([&] { readExact(stream, bytes, 2); },
                        "Could not extract the required number of bytes from the input stream");
    stream.seekg(12, SeekOrigin::Begin);
    EXPECT_EQ(readExact(stream, bytes, 1), 1);
    expectThrowsMessage([&] { readObject(stream, word); }, "Could not load object from the stream.");
}

class CountingOutputStream : public BinaryOutputStream {
public:
    int32_t writes = 0;
    void flush() override {}

protected:
    void writeImpl(const void*, int64_t) override { ++writes; }
};

TEST(BinaryOutputStreamTest, EmptyWritesNeverReachTheImplementation) {
    CountingOutputStream stream;
    stream.write("x", 0);
    stream.write("x", -1);
    stream.write(nullptr, 5);
    EXPECT_EQ(stream.writes, 0);
    stream.write("x", 1);
    EXPECT_EQ(stream.writes, 1);
}

TEST(CopyStreamTest, ReportsTheRunningTotalPerBlock) {
    struct Case {
        std::size_t size;
        std::vector<int64_t> progress;
    };
    const Case cases[] = {
        {0, {}},
        {65536, {65536}},
        {65537, {65536, 65537}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        std::string input(c.size, 'x');
        for (std::size_t i = 0; i < input.size(); ++i) {
            input[i] = static_cast<char>(i * 7);
        }
        StringInputStream in(input);
        std::string output;
        StringOutputStream out(output);
        std::vector<int64_t> progress;
        EXPECT_EQ(copyStream(in, out, [&](int64_t total) { progress.push_back(total); }),
                  static_cast<int64_t>(c.size));
        EXPECT_EQ(output, input);
        EXPECT_EQ(progress, c.progress);
    }
}

TEST(CopyStreamTest, PutBackBytesAreCopiedToo) {
    StringInputStream in("abcd");
    char bytes[2];
    in.read(bytes, 2);
    in.putBack(bytes, 2);
    std::string output;
    StringOutputStream out(output);
    EXPECT_EQ(copyStream(in, out, [](int64_t) {}), 4);
    EXPECT_EQ(output, "abcd");
}

} // namespace
} // namespace Tarvio::Io
