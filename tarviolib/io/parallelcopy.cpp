#include "tarviolib/io/parallelcopy.h"

#include "tarviolib/core/buffer.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/io/readaheadinputstream.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>

namespace Tarvio::Io {

namespace {

class ParallelCopy : public Noncopyable {
public:
    ParallelCopy(Array<UniquePtr<SeekableBinaryInputStream>> sources, int64_t size,
                 const Function<void(const uint8_t*, int64_t)>& sink)
        : mSources(std::move(sources)), mSize(size), mSink(sink) {}

    void run() {
        const int32_t count = std::min(mSources.size(), ReadAheadInputStream::MaxWorkers);
        std::thread workers[ReadAheadInputStream::MaxWorkers];
        try {
            for (int32_t worker = 1; worker < count; ++worker) {
                workers[worker] = std::thread([this, worker, count] { work(worker, count); });
            }
            work(0, count);
        } catch (...) {
            // Only a worker that could not start: the workers catch their own failures.
            stop(std::current_exception());
        }
        for (std::thread& worker : workers) {
            if (worker.joinable()) {
                worker.join();
            }
        }
        if (mFailure) {
            std::rethrow_exception(mFailure);
        }
    }

private:
    void work(int32_t worker, int32_t count) {
        const int64_t blockSize = ReadAheadInputStream::BlockSize;
        Buffer<uint8_t> block;
        for (int64_t index = worker; index * blockSize < mSize; index += count) {
            const int64_t wanted = std::min(blockSize, mSize - index * blockSize);
            std::exception_ptr failure;
            try {
                if (block.size() == 0) {
                    block.allocate(ReadAheadInputStream::BlockSize);
                }
                SeekableBinaryInputStream& source = *mSources[worker];
                source.seekg(index * blockSize, SeekOrigin::Begin);
                int64_t got = 0;
                for (int64_t lastRead = 1; lastRead > 0 && got < wanted; got += lastRead) {
                    lastRead = source.read(block.data() + got, wanted - got);
                }
                // Fails with the source's own error if it has one, else as an exact read.
                if (got < wanted) {
                    readExact(source, block.data() + got, wanted - got);
                }
            } catch (...) {
                failure = std::current_exception();
            }
            {
                std::unique_lock<std::mutex> lock(mMutex);
                mTurnCame[worker].wait(lock, [&] { return mStopped || mTurn == index; });
                if (mStopped) {
                    return;
                }
            }
            // The turn is this worker's alone until it passes it on.
            if (!failure) {
                try {
                    mSink(block.data(), wanted);
                } catch (...) {
                    failure = std::current_exception();
                }
            }
            if (failure) {
                stop(failure);
                return;
            }
            {
                std::lock_guard<std::mutex> lock(mMutex);
                ++mTurn;
            }
            mTurnCame[(worker + 1) % count].notify_one();
        }
    }

    // The first failure in block order: whoever stops holds the turn, or never got one.
    void stop(std::exception_ptr failure) {
        {
            std::lock_guard<std::mutex> lock(mMutex);
            if (!mStopped) {
                mStopped = true;
                mFailure = std::move(failure);
            }
        }
        for (std::condition_variable& turnCame : mTurnCame) {
            turnCame.notify_one();
        }
    }

    Array<UniquePtr<SeekableBinaryInputStream>> mSources;
    int64_t mSize;
    const Function<void(const uint8_t*, int64_t)>& mSink;
    std::mutex mMutex;
    // One for each worker, so that passing the turn wakes only the next.
    std::condition_variable mTurnCame[ReadAheadInputStream::MaxWorkers];
    // The block that goes to the sink next.
    int64_t mTurn = 0;
    bool mStopped = false;
    std::exception_ptr mFailure;
};

} // namespace

int32_t parallelCopyWorkerCount(int64_t size) {
    const int64_t blocks = (size + ReadAheadInputStream::BlockSize - 1) / ReadAheadInputStream::BlockSize;
    const int64_t processors = int64_t{std::thread::hardware_concurrency()} / 2;
    return static_cast<int32_t>(
        std::max<int64_t>(1, std::min({processors, blocks, int64_t{ReadAheadInputStream::MaxWorkers}})));
}

void copyInParallel(Array<UniquePtr<SeekableBinaryInputStream>> sources, int64_t size,
                    const Function<void(const uint8_t*, int64_t)>& sink) {
    if (size <= 0) {
        return;
    }
    if (sources.size() == 0) {
        throwException("Io::copyInParallel() - no source to copy from.");
    }
    ParallelCopy(std::move(sources), size, sink).run();
}

} // namespace Tarvio::Io
