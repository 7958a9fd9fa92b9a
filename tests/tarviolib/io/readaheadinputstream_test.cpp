#include "tarviolib/io/readaheadinputstream.h"

#include "tarviolib/core/exception.h"
#include "tarviolib/io/memoryinputstream.h"
#include "tests/support/testfiles.h"
#include "tests/tarviolib/io/blocksources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

namespace Tarvio::Io {
namespace {

using Testing::CutStream;
using Testing::expectThrowsMessage;
using Testing::pattern;
using Testing::sources;

constexpr int64_t Block = ReadAheadInputStream::BlockSize;

// Delivers its bytes in reads of at most 1000 (short reads that are not the end), then fails.
class FailingStream : public BinaryInputStream {
public:
    explicit FailingStream(const std::vector<uint8_t>& bytes) : mBytes(bytes) {}

protected:
    int64_t readImpl(void* data, int64_t size) override {
        if (mPosition == static_cast<int64_t>(mBytes.size())) {
            throwException("source failed");
        }
        const int64_t count = std::min<int64_t>({size, 1000, static_cast<int64_t>(mBytes.size()) - mPosition});
        std::copy_n(mBytes.begin() + mPosition, count, static_cast<uint8_t*>(data));
        mPosition += count;
        return count;
    }
    bool isEofImpl() const override { return false; }

private:
    const std::vector<uint8_t>& mBytes;
    int64_t mPosition = 0;
};

// The whole block, with its size as the estimate.
UniquePtr<ReadAheadInputStream> over(const std::vector<uint8_t>& bytes) {
    const int64_t size = static_cast<int64_t>(bytes.size());
    return makeUnique<ReadAheadInputStream>(makeUnique<MemoryInputStream>(bytes.data(), size), size);
}

std::vector<uint8_t> readAllBlocks(ReadAheadInputStream& stream) {
    std::vector<uint8_t> content;
    const uint8_t* block = nullptr;
    while (const int64_t count = stream.readBlock(block)) {
        content.insert(content.end(), block, block + count);
    }
    return content;
}

TEST(ReadAheadInputStreamTest, DeliversTheSourceInOrderWhateverTheEstimate) {
    // On a worker (several blocks, more than the ring holds) and on the reader's thread, also when
    // the estimate is far too low.
    for (const int64_t size : {int64_t{0}, int64_t{5}, Block, 9 * Block + 12345}) {
        for (const int64_t expected : {size, int64_t{1}}) {
            const std::vector<uint8_t> bytes = pattern(size);
            const uint8_t none = 0;
            ReadAheadInputStream stream(makeUnique<MemoryInputStream>(size > 0 ? bytes.data() : &none, size), expected);
            EXPECT_EQ(readAllBlocks(stream), bytes) << size << " " << expected;
            const uint8_t* block = nullptr;
            EXPECT_EQ(stream.readBlock(block), 0);
        }
    }
}

TEST(ReadAheadInputStreamTest, ReadsAndBlocksMix) {
    const std::vector<uint8_t> bytes = pattern(3 * Block + 77);
    const UniquePtr<ReadAheadInputStream> owner = over(bytes);
    ReadAheadInputStream& stream = *owner;
    std::vector<uint8_t> content(10);
    ASSERT_EQ(stream.read(content.data(), 10), 10);
    const uint8_t* block = nullptr;
    // The rest of the first block, then whole blocks.
    ASSERT_EQ(stream.readBlock(block), Block - 10);
    content.insert(content.end(), block, block + Block - 10);
    std::vector<uint8_t> rest(2 * Block + 77 + 1);
    ASSERT_EQ(stream.read(rest.data(), int64_t(rest.size())), 2 * Block + 77);
    EXPECT_TRUE(stream.isEof());
    content.insert(content.end(), rest.begin(), rest.end() - 1);
    EXPECT_EQ(content, bytes);
}

TEST(ReadAheadInputStreamTest, AFailureComesAfterTheBytesBeforeIt) {
    for (const int64_t size : {int64_t{0}, int64_t{2500}, 2 * Block + 2500}) {
        const std::vector<uint8_t> bytes = pattern(size);
        ReadAheadInputStream stream(makeUnique<FailingStream>(bytes), size + 1);
        std::vector<uint8_t> content(static_cast<std::size_t>(size) + 100);
        if (size > 0) {
            EXPECT_EQ(stream.read(content.data(), size + 100), size);
            content.resize(static_cast<std::size_t>(size));
            EXPECT_EQ(content, bytes);
            EXPECT_FALSE(stream.isEof());
        }
        expectThrowsMessage([&] { stream.read(content.data(), 1); }, "source failed");
        const uint8_t* block = nullptr;
        expectThrowsMessage([&] { stream.readBlock(block); }, "source failed");
    }
}

TEST(ReadAheadInputStreamTest, SeveralWorkersDeliverASeekableSourceInOrder) {
    for (const int64_t size : {int64_t{0}, int64_t{5}, Block, Block + 1, 9 * Block + 12345}) {
        const std::vector<uint8_t> bytes = pattern(size);
        for (const int32_t workers : {1, 3, ReadAheadInputStream::MaxWorkers}) {
            ReadAheadInputStream stream(sources<CutStream>(workers, bytes, size), size);
            EXPECT_EQ(readAllBlocks(stream), bytes) << size << " " << workers;
        }
    }
    // One processor is the reader's.
    const int32_t processors = static_cast<int32_t>(std::thread::hardware_concurrency());
    EXPECT_EQ(ReadAheadInputStream::workerCount(0), 1);
    EXPECT_EQ(ReadAheadInputStream::workerCount(Block + 1), std::clamp(processors - 1, 1, 2));
    EXPECT_EQ(ReadAheadInputStream::workerCount(int64_t{1} << 40),
              std::clamp(processors - 1, 1, ReadAheadInputStream::MaxWorkers));
    EXPECT_LE(int64_t{ReadAheadInputStream::MaxWorkers} * ReadAheadInputStream::BlocksPerWorker * Block,
              ReadAheadInputStream::WorkerBlocksBound);
}

TEST(ReadAheadInputStreamTest, AFailureOfOneWorkerComesAfterTheBytesBeforeIt) {
    // Workers reading blocks after the failing one must not hide it or deliver past it.
    const std::vector<uint8_t> bytes = pattern(9 * Block + 12345);
    for (const int64_t cut : {int64_t{0}, 5 * Block, 5 * Block + 100}) {
        ReadAheadInputStream stream(sources<CutStream>(3, bytes, cut), static_cast<int64_t>(bytes.size()));
        std::vector<uint8_t> content(bytes.size());
        if (cut > 0) {
            ASSERT_EQ(stream.read(content.data(), static_cast<int64_t>(content.size())), cut);
            EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + cut, content.begin()));
        }
        expectThrowsMessage([&] { stream.read(content.data(), 1); }, "source failed");
        const uint8_t* block = nullptr;
        expectThrowsMessage([&] { stream.readBlock(block); }, "source failed");
    }
}

TEST(ReadAheadInputStreamTest, StopsAWorkerThatIsAhead) {
    const std::vector<uint8_t> bytes = pattern(20 * Block);
    over(bytes).reset();
    UniquePtr<ReadAheadInputStream> stream = over(bytes);
    const uint8_t* block = nullptr;
    ASSERT_EQ(stream->readBlock(block), Block);
    EXPECT_EQ(std::vector<uint8_t>(block, block + Block), std::vector<uint8_t>(bytes.begin(), bytes.begin() + Block));
}

} // namespace
} // namespace Tarvio::Io
