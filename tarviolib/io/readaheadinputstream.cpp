#include "tarviolib/io/readaheadinputstream.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace Tarvio::Io {

ReadAheadInputStream::ReadAheadInputStream(UniquePtr<BinaryInputStream> source, int64_t expectedSize)
    : mSource(std::move(source)) {
    allocateBlocks(expectedSize, BlockCount);
    startWorkers(1);
}

ReadAheadInputStream::ReadAheadInputStream(Array<UniquePtr<SeekableBinaryInputStream>> sources, int64_t size)
    : mSeekableSources(std::move(sources)), mSize(size) {
    allocateBlocks(size, mSeekableSources.size() * BlocksPerWorker);
    startWorkers(mSeekableSources.size());
}

ReadAheadInputStream::~ReadAheadInputStream() { stopWorkers(); }

int32_t ReadAheadInputStream::workerCount(int64_t size) {
    const int64_t blocks = (size + BlockSize - 1) / BlockSize;
    // One processor stays for the reader, whom the workers feed.
    const int64_t processors = int64_t{std::thread::hardware_concurrency()} - 1;
    return static_cast<int32_t>(std::max<int64_t>(1, std::min({processors, blocks, int64_t{MaxWorkers}})));
}

void ReadAheadInputStream::allocateBlocks(int64_t size, int32_t threadedCount) {
    mThreaded = size > BlockSize;
    if (mThreaded) {
        mRing = threadedCount;
        for (int32_t i = 0; i < mRing; ++i) {
            mBlocks[i].bytes.allocate(BlockSize);
        }
    } else {
        mBlockSize = static_cast<int32_t>(std::max<int64_t>(size, SmallestBlockSize));
        mBlocks[0].bytes.allocate(mBlockSize);
    }
}

void ReadAheadInputStream::startWorkers(int32_t count) {
    if (!mThreaded) {
        return;
    }
    try {
        for (int32_t worker = 0; worker < count; ++worker) {
            mWorkers[worker] = std::thread([this, worker] { work(worker); });
            mWorkerCount = worker + 1;
        }
    } catch (...) {
        stopWorkers();
        throw;
    }
}

void ReadAheadInputStream::stopWorkers() {
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mStopping = true;
    }
    for (std::condition_variable& placeFree : mPlaceFree) {
        placeFree.notify_one();
    }
    for (std::thread& worker : mWorkers) {
        if (worker.joinable()) {
            worker.join();
        }
    }
}

bool ReadAheadInputStream::fill(Block& block) {
    bool more = true;
    block.size = 0;
    block.failure = nullptr;
    try {
        while (more && block.size < block.bytes.size()) {
            const int64_t count = mSource->read(block.bytes.data() + block.size, block.bytes.size() - block.size);
            block.size += count;
            more = count > 0 && !mSource->isEof();
        }
    } catch (...) {
        block.failure = std::current_exception();
        more = false;
    }
    block.last = !more;
    return more;
}

bool ReadAheadInputStream::fillAt(Block& block, SeekableBinaryInputStream& source, int64_t index) {
    const int64_t start = index * mBlockSize;
    const int64_t wanted = std::min<int64_t>(mBlockSize, mSize - start);
    block.size = 0;
    block.failure = nullptr;
    try {
        source.seekg(start, SeekOrigin::Begin);
        for (int64_t count = 1; count > 0 && block.size < wanted; block.size += count) {
            count = source.read(block.bytes.data() + block.size, wanted - block.size);
        }
    } catch (...) {
        block.failure = std::current_exception();
    }
    block.last = block.failure || block.size < wanted || start + wanted == mSize;
    return !block.last;
}

bool ReadAheadInputStream::fillNext(int32_t worker, int64_t index) {
    Block& block = mBlocks[index % mRing];
    return mSource ? fill(block) : fillAt(block, *mSeekableSources[worker], index);
}

void ReadAheadInputStream::work(int32_t worker) {
    const int32_t stride = mSource ? 1 : mSeekableSources.size();
    for (int64_t index = worker; mSource || index * BlockSize < mSize; index += stride) {
        {
            // The block's place is free once the block mRing before it is handed back.
            std::unique_lock<std::mutex> lock(mMutex);
            mPlaceFree[worker].wait(lock, [&] { return mStopping || index - mReleased < mRing; });
            if (mStopping) {
                return;
            }
        }
        const bool more = fillNext(worker, index);
        {
            std::lock_guard<std::mutex> lock(mMutex);
            mBlocks[index % mRing].ready = true;
        }
        mBlockReady.notify_one();
        if (!more) {
            return;
        }
    }
}

ReadAheadInputStream::Block* ReadAheadInputStream::nextBlock() {
    std::unique_lock<std::mutex> lock(mMutex);
    if (mHolding) {
        mHolding = false;
        mBlocks[mReleased % mRing].ready = false;
        // The place is the next block's of the same worker: a whole number of rounds of
        // the workers fits in the ring.
        if (mThreaded) {
            mPlaceFree[mReleased % mWorkerCount].notify_one();
        }
        ++mReleased;
    }
    if (!mEnded) {
        Block& block = mBlocks[mReleased % mRing];
        if (!mThreaded) {
            lock.unlock();
            fillNext(0, mReleased);
            lock.lock();
            block.ready = true;
        }
        mBlockReady.wait(lock, [&] { return block.ready; });
        if (block.last) {
            mEnded = true;
            mFailure = block.failure;
        }
        if (block.size > 0) {
            mHolding = true;
            return &block;
        }
        block.ready = false;
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
