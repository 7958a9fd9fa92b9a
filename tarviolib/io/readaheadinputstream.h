#pragma once

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

// Reads its source in blocks on a worker thread while the reader uses the blocks read before, so
// that the source's work (unscrambling, inflating) overlaps the reader's. The source is read
// until its end; a failure of the source reaches the reader where it happened, after the bytes
// delivered before it. The source belongs to the worker from the first read on.
class ReadAheadInputStream : public BinaryInputStream, public Noncopyable {
public:
    static constexpr int32_t BlockSize = 1 << 20;
    static constexpr int32_t BlockCount = 4;
    // Of a source read on the reader's thread, so that a low estimate does not mean tiny reads.
    static constexpr int32_t SmallestBlockSize = 1 << 16;

    // expectedSize: what the source probably holds. Sources of at most one block are read on the
    // reader's thread: starting a thread would cost more than the overlap gains.
    ReadAheadInputStream(UniquePtr<BinaryInputStream> source, int64_t expectedSize);
    // Stops the worker, waiting for the block it is reading.
    ~ReadAheadInputStream() override;

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
    };

    void work();
    // Fills the block from the source; answers false once the source has ended or failed.
    bool fill(Block& block);
    // Hands the block in use back to the worker and waits for the next one; null at the end.
    Block* nextBlock();

    UniquePtr<BinaryInputStream> mSource;
    Block mBlocks[BlockCount];
    bool mThreaded;
    std::thread mWorker;
    std::mutex mMutex;
    std::condition_variable mChanged;
    // Counts of blocks filled by the worker and handed back by the reader; the reader uses block
    // mReleased while mHolding.
    int64_t mFilled = 0;
    int64_t mReleased = 0;
    bool mHolding = false;
    bool mSourceEnded = false;
    bool mStopping = false;
    std::exception_ptr mFailure;
    // Unread part of the block in use, for readImpl.
    const uint8_t* mPending = nullptr;
    int64_t mPendingSize = 0;
    bool mEof = false;
};

} // namespace Tarvio::Io
