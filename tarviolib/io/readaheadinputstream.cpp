#include "tarviolib/io/readaheadinputstream.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace Tarvio::Io {

ReadAheadInputStream::ReadAheadInputStream(UniquePtr<BinaryInputStream> source, int64_t expectedSize)
    : mSource(std::move(source)), mThreaded(expectedSize > BlockSize) {
    if (mThreaded) {
        for (Block& block : mBlocks) {
            block.bytes.allocate(BlockSize);
        }
        mWorker = std::thread([this] { work(); });
    } else {
        mBlocks[0].bytes.allocate(static_cast<int32_t>(std::max<int64_t>(expectedSize, SmallestBlockSize)));
    }
}

ReadAheadInputStream::~ReadAheadInputStream() {
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mStopping = true;
    }
    mChanged.notify_all();
    if (mWorker.joinable()) {
        mWorker.join();
    }
}

bool ReadAheadInputStream::fill(Block& block) {
    std::exception_ptr failure;
    bool more = true;
    block.size = 0;
    try {
        while (more && block.size < block.bytes.size()) {
            const int64_t count = mSource->read(block.bytes.data() + block.size, block.bytes.size() - block.size);
            block.size += count;
            more = count > 0 && !mSource->isEof();
        }
    } catch (...) {
        failure = std::current_exception();
        more = false;
    }
    std::lock_guard<std::mutex> lock(mMutex);
    if (block.size > 0) {
        ++mFilled;
    }
    mSourceEnded = !more;
    mFailure = failure;
    return more;
}

void ReadAheadInputStream::work() {
    while (true) {
        Block* block = nullptr;
        {
            std::unique_lock<std::mutex> lock(mMutex);
            mChanged.wait(lock, [this] { return mStopping || mFilled - mReleased < BlockCount; });
            if (mStopping) {
                return;
            }
            block = &mBlocks[mFilled % BlockCount];
        }
        const bool more = fill(*block);
        mChanged.notify_all();
        if (!more) {
            return;
        }
    }
}

ReadAheadInputStream::Block* ReadAheadInputStream::nextBlock() {
    std::unique_lock<std::mutex> lock(mMutex);
    if (mHolding) {
        mHolding = false;
        ++mReleased;
        mChanged.notify_all();
    }
    if (!mThreaded && !mSourceEnded) {
        lock.unlock();
        fill(mBlocks[0]);
        lock.lock();
    }
    mChanged.wait(lock, [this] { return mFilled > mReleased || mSourceEnded; });
    if (mFilled > mReleased) {
        mHolding = true;
        return &mBlocks[mThreaded ? mReleased % BlockCount : 0];
    }
    if (mFailure) {
        std::rethrow_exception(mFailure);
    }
    return nullptr;
}

int64_t ReadAheadInputStream::readBlock(const uint8_t*& data) {
    if (mPendingSize == 0) {
        const Block* block = nextBlock();
        if (block == nullptr) {
            return 0;
        }
        mPending = block->bytes.data();
        mPendingSize = block->size;
    }
    data = mPending;
    return std::exchange(mPendingSize, 0);
}

int64_t ReadAheadInputStream::readImpl(void* data, int64_t size) {
    uint8_t* destination = static_cast<uint8_t*>(data);
    int64_t delivered = 0;
    while (delivered < size) {
        if (mPendingSize == 0) {
            const Block* block = nullptr;
            try {
                block = nextBlock();
            } catch (...) {
                // Keep what this read gathered; the failure stays and is thrown by the next read.
                if (delivered > 0) {
                    return delivered;
                }
                throw;
            }
            if (block == nullptr) {
                mEof = true;
                break;
            }
            mPending = block->bytes.data();
            mPendingSize = block->size;
        }
        const int64_t count = std::min(size - delivered, mPendingSize);
        std::memcpy(destination + delivered, mPending, static_cast<std::size_t>(count));
        mPending += count;
        mPendingSize -= count;
        delivered += count;
    }
    return delivered;
}

bool ReadAheadInputStream::isEofImpl() const { return mEof; }

} // namespace Tarvio::Io
