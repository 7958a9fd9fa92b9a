#include "tarviolib/io/parallelcopy.h"

#include "tarviolib/core/exception.h"
#include "tarviolib/io/readaheadinputstream.h"
#include "tests/support/testfiles.h"
#include "tests/tarviolib/io/blocksources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

namespace Tarvio::Io {
namespace {

using Testing::CutStream;
using Testing::expectThrowsMessage;
using Testing::pattern;
using Testing::sources;

constexpr int64_t Block = ReadAheadInputStream::BlockSize;

// What reached the sink, and on which thread each block did.
struct Sunk {
    std::vector<uint8_t> bytes;
    std::vector<std::thread::id> threads;
};

Function<void(const uint8_t*, int64_t)> into(Sunk& sunk) {
    return [&sunk](const uint8_t* block, int64_t count) {
        sunk.bytes.insert(sunk.bytes.end(), block, block + count);
        sunk.threads.push_back(std::this_thread::get_id());
    };
}

TEST(ParallelCopyTest, EachWorkerHandsItsBlocksOverInOrder) {
    for (const int64_t size : {int64_t{0}, int64_t{5}, Block, Block + 1, 9 * Block + 12345}) {
        const std::vector<uint8_t> bytes = pattern(size);
        for (const int32_t workers : {1, 3, ReadAheadInputStream::MaxWorkers}) {
            SCOPED_TRACE(testing::Message() << "size " << size << ", workers " << workers);
            Sunk sunk;
            copyInParallel(sources<CutStream>(workers, bytes, size), size, into(sunk));
            EXPECT_EQ(sunk.bytes, bytes);
            // Block i on worker i modulo the workers, worker 0 the caller.
            for (std::size_t i = 0; i < sunk.threads.size(); ++i) {
                EXPECT_EQ(sunk.threads[i] == std::this_thread::get_id(), i % workers == 0) << i;
                if (i >= static_cast<std::size_t>(workers)) {
                    EXPECT_EQ(sunk.threads[i], sunk.threads[i - workers]) << i;
                }
            }
        }
    }
}

// Bytes need a source to come from; no bytes need none.
TEST(ParallelCopyTest, RefusesToCopyBytesFromNoSource) {
    Sunk sunk;
    expectThrowsMessage([&] { copyInParallel({}, 5, into(sunk)); }, "Io::copyInParallel() - no source to copy from.");
    copyInParallel({}, 0, into(sunk));
    EXPECT_TRUE(sunk.bytes.empty());
}

TEST(ParallelCopyTest, TakesOneWorkerPerTwoProcessorsWithinTheBound) {
    const int32_t half = static_cast<int32_t>(std::thread::hardware_concurrency() / 2);
    EXPECT_EQ(parallelCopyWorkerCount(0), 1);
    EXPECT_EQ(parallelCopyWorkerCount(Block + 1), std::clamp(half, 1, 2));
    EXPECT_EQ(parallelCopyWorkerCount(int64_t{1} << 40), std::clamp(half, 1, ReadAheadInputStream::MaxWorkers));
}

// Workers reading blocks after the failing one must not hide it or hand over what follows it.
TEST(ParallelCopyTest, AFailureComesAfterTheBlocksBeforeIt) {
    const std::vector<uint8_t> bytes = pattern(9 * Block + 12345);
    const int64_t size = static_cast<int64_t>(bytes.size());
    for (const int64_t cut : {int64_t{0}, 5 * Block, 5 * Block + 100}) {
        SCOPED_TRACE(cut);
        Sunk sunk;
        expectThrowsMessage([&] { copyInParallel(sources<CutStream>(3, bytes, cut), size, into(sunk)); },
                            "source failed");
        EXPECT_EQ(sunk.bytes, std::vector<uint8_t>(bytes.begin(), bytes.begin() + cut / Block * Block));
    }
    // A source that ends before the size fails as an exact read, and its last block is not handed
    // over.
    Sunk sunk;
    expectThrowsMessage([&] { copyInParallel(sources<CutStream>(3, bytes, size + 100), size + 1, into(sunk)); },
                        "Could not extract the required number of bytes from the input stream");
    EXPECT_EQ(sunk.bytes, std::vector<uint8_t>(bytes.begin(), bytes.begin() + 9 * Block));
}

TEST(ParallelCopyTest, AFailingSinkStopsTheCopy) {
    const std::vector<uint8_t> bytes = pattern(9 * Block + 12345);
    const int64_t size = static_cast<int64_t>(bytes.size());
    int32_t calls = 0;
    const Function<void(const uint8_t*, int64_t)> sink = [&calls](const uint8_t*, int64_t) {
        if (++calls == 4) {
            throwException("cannot write");
        }
    };
    expectThrowsMessage([&] { copyInParallel(sources<CutStream>(3, bytes, size), size, sink); }, "cannot write");
    EXPECT_EQ(calls, 4);
}

} // namespace
} // namespace Tarvio::Io
