#pragma once

#include "tarviolib/core/array.h"
#include "tarviolib/core/buffer.h"
#include "tarviolib/core/object.h"
#include "tarviolib/core/uniqueptr.h"
#include "tarviolib/io/stream.h"

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>

namespace Tarvio::Io {

// Reads its source in blocks on worker threads while the reader uses the blocks read before, so
// that the source's work (unscrambling, inflating) overlaps the reader's. A failure of the source
// reaches the reader where it happened, after the bytes delivered before it. The sources belong to
// the workers from the first read on.
class ReadAheadInputStream : public BinaryInputStream, public Noncopyable {
public:
    static constexpr int32_t BlockSize = 1 << 20;
    // Of the one worker that reads a source to its end.
    static constexpr int32_t BlockCount = 4;
    // Of each worker that reads blocks of a seekable source.
    static constexpr int32_t BlocksPerWorker = 2;
    // What the blocks of the workers of one stream may take. A 32-bit process has 2 GiB of
    // address space, shared with the payload mapped from the program's own file and the files
    // read whole; each worker also reserves a thread's stack (the program's default, 2 MiB).
    static constexpr int64_t WorkerBlocksBound = 16 << 20;
    // One worker per logical processor but one, as many as the bound allows (8).
    static constexpr int32_t MaxWorkers = static_cast<int32_t>(WorkerBlocksBound / (BlocksPerWorker * BlockSize));
    // Of a source read on the reader's thread, so that a low estimate does not mean tiny reads.
    static constexpr int32_t SmallestBlockSize = 1 << 16;

    // Reads the source until its end. expectedSize: what the source probably holds. Sources of at
    // most one block are read on the reader's thread: starting a thread would cost more than the
    // overlap gains.
    ReadAheadInputStream(UniquePtr<BinaryInputStream> source, int64_t expectedSize);
    // Reads size bytes, the same bytes from each source, on one worker per source: worker w of n
    // reads blocks w, w + n, w + 2n, ..., seeking its source to each, so that the sources' own work
    // runs on n processors at once. At most MaxWorkers sources.
    ReadAheadInputStream(Array<UniquePtr<SeekableBinaryInputStream>> sources, int64_t size);
    // Stops the workers, waiting for the blocks they are reading.
    ~ReadAheadInputStream() override;

    // The sources worth reading a content of size bytes from: one per logical processor but the
    // reader's, at least one, at most MaxWorkers and one per block.
    static int32_t workerCount(int64_t size);

    // The next bytes, as much as the source gave in one block, without copying them: valid until
    // the next read of any kind. 0 at the end. Bytes put back are not seen here.
    int64_t readBlock(const uint8_t*& data);

protected:
    int64_t readImpl(void* data, int64_t size) override;
    bool isEofImpl() const override;

private:
    struct Block {
        Buffer<uint8_t> bytes;
        int64_t size = 0;
        // Filled and not yet handed back.
        bool ready = false;
        // Nothing follows: the source ended or failed (after the bytes) here.
        bool last = false;
        std::exception_ptr failure;
    };

    void allocateBlocks(int64_t size, int32_t threadedCount);
    void startWorkers(int32_t count);
    void stopWorkers();
    void work(int32_t worker);
    // Fill the block from the source (the next bytes, or the block at index of a seekable
    // source); answer whether more follows.
    bool fill(Block& block);
    bool fillAt(Block& block, SeekableBinaryInputStream& source, int64_t index);
    bool fillNext(int32_t worker, int64_t index);
    // Hands the block in use back to the workers and waits for the next one; null at the end.
    Block* nextBlock();

    UniquePtr<BinaryInputStream> mSource;
    Array<UniquePtr<SeekableBinaryInputStream>> mSeekableSources;
    // Of a seekable content.
    int64_t mSize = 0;
    Block mBlocks[MaxWorkers * BlocksPerWorker];
    // Block i of the content goes to mBlocks[i % mRing].
    int32_t mRing = 1;
    int32_t mBlockSize = BlockSize;
    bool mThreaded = false;
    std::thread mWorkers[MaxWorkers];
    int32_t mWorkerCount = 0;
    std::mutex mMutex;
    // Each waiter has its own, so that a change wakes only the thread it concerns: a wake-up
    // costs a round trip to the Wine server, and many at once starve the reader.
    std::condition_variable mBlockReady;
    std::condition_variable mPlaceFree[MaxWorkers];
    // Blocks handed back by the reader, who uses block mReleased while mHolding.
    int64_t mReleased = 0;
    bool mHolding = false;
    bool mEnded = false;
    bool mStopping = false;
    std::exception_ptr mFailure;
    // Unread part of the block in use, for readImpl.
    const uint8_t* mPending = nullptr;
    int64_t mPendingSize = 0;
    bool mEof = false;
};

} // namespace Tarvio::Io
