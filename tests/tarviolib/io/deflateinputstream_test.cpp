#include "tarviolib/io/deflateinputstream.h"

#include "tarviolib/io/memoryinputstream.h"
#include "tests/support/testfiles.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

namespace Tarvio::Io {
namespace {

using Testing::expectThrowsMessage;

const char InflateError[] = "Error while uncompressing data";

std::string compressed(const std::string& original) {
    uLongf size = compressBound(static_cast<uLong>(original.size()));
    std::string bytes(size, '\0');
    EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(bytes.data()), &size,
                        reinterpret_cast<const Bytef*>(original.data()), static_cast<uLong>(original.size()), 6),
              Z_OK);
    bytes.resize(size);
    return bytes;
}

// Varied enough not to compress to nothing, longer than the 128 KiB buffers.
std::string sampleText(std::size_t size) {
    std::string text(size, '\0');
    uint32_t state = 12345;
    for (char& c : text) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>('a' + (state >> 16) % 16);
    }
    return text;
}

std::string readAll(BinaryInputStream& stream, int64_t blockSize) {
    std::string result;
    std::string block(static_cast<std::size_t>(blockSize), '\0');
    while (const int64_t count = stream.read(block.data(), blockSize)) {
        result.append(block.data(), static_cast<std::size_t>(count));
    }
    return result;
}

TEST(DeflateInputStreamTest, DeliversTheOriginalInAnyBlockSize) {
    const std::string original = sampleText(300000);
    const std::string source = compressed(original);
    for (int64_t blockSize : {1, 1000, 131072, 400000}) {
        SCOPED_TRACE(blockSize);
        DeflateInputStream stream(makeUnique<MemoryInputStream>(source.data(), static_cast<int64_t>(source.size())));
        EXPECT_EQ(readAll(stream, blockSize), original);
        EXPECT_TRUE(stream.isEof());
    }
}

TEST(DeflateInputStreamTest, LargeReadsAfterSmallOnesKeepTheOrder) {
    // Large reads inflate straight into the caller's block, small ones through the buffer.
    const std::string original = sampleText(1000000);
    DeflateInputStream stream(makeUnique<Testing::StringInputStream>(compressed(original)));
    std::string result;
    std::string block(400000, '\0');
    for (int64_t size = 1; const int64_t count = stream.read(block.data(), size); size = size == 1 ? 400000 : 1) {
        result.append(block.data(), static_cast<std::size_t>(count));
    }
    EXPECT_EQ(result, original);
    EXPECT_TRUE(stream.isEof());
}

TEST(DeflateInputStreamTest, StopsAtTheEndOfTheCompressedStream) {
    DeflateInputStream stream(makeUnique<Testing::StringInputStream>(compressed("hello") + "trailing bytes"));
    char bytes[16];
    EXPECT_EQ(stream.read(bytes, 5), 5);
    EXPECT_EQ(std::string(bytes, 5), "hello");
    EXPECT_FALSE(stream.isEof());
    EXPECT_EQ(stream.read(bytes, 16), 0);
    EXPECT_TRUE(stream.isEof());
    EXPECT_EQ(stream.read(bytes, 16), 0);
}

TEST(DeflateInputStreamTest, ShortReadAtTheEndSetsTheFlag) {
    DeflateInputStream stream(makeUnique<Testing::StringInputStream>(compressed("abc")));
    char bytes[8];
    EXPECT_EQ(stream.read(bytes, 8), 3);
    EXPECT_TRUE(stream.isEof());
}

TEST(DeflateInputStreamTest, PutBackGoesThroughTheBuffer) {
    DeflateInputStream stream(makeUnique<Testing::StringInputStream>(compressed("abcdef")));
    char bytes[4];
    ASSERT_EQ(stream.read(bytes, 4), 4);
    stream.putBack(bytes + 2, 2);
    EXPECT_EQ(readAll(stream, 10), "cdef");
}

TEST(DeflateInputStreamTest, BadSourcesThrow) {
    const std::string source = compressed(sampleText(200000));
    std::string corrupt = compressed("some text to corrupt");
    corrupt[4] = static_cast<char>(corrupt[4] ^ 0x55);
    std::string gzipHeader = "\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03";
    struct Case {
        const char* name;
        std::string source;
    };
    const Case cases[] = {
        {"empty", ""},
        {"truncated", source.substr(0, source.size() / 2)},
        {"no trailer", source.substr(0, source.size() - 4)},
        {"corrupt", corrupt},
        {"gzip", gzipHeader + source},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeflateInputStream stream(makeUnique<Testing::StringInputStream>(c.source));
        expectThrowsMessage([&] { readAll(stream, 65536); }, InflateError);
    }
}

TEST(DeflateInputStreamTest, TruncationThrowsBeforeTheLastRefillIsDelivered) {
    const std::string original = sampleText(1000);
    const std::string source = compressed(original);
    DeflateInputStream stream(makeUnique<Testing::StringInputStream>(source.substr(0, source.size() - 4)));
    char bytes[10];
    expectThrowsMessage([&] { stream.read(bytes, 10); }, InflateError);
}

TEST(DeflateInputStreamTest, WithoutASourceEveryReadThrows) {
    DeflateInputStream stream{UniquePtr<BinaryInputStream>()};
    char byte;
    expectThrowsMessage([&] { stream.read(&byte, 1); }, "Using uninitialized ZipInputStream");
    expectThrowsMessage([&] { stream.isEof(); }, "Using uninitialized ZipInputStream");
}

} // namespace
} // namespace Tarvio::Io
