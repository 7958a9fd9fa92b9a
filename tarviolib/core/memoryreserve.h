#pragma once

#include "tarviolib/core/mutex.h"
#include "tarviolib/core/object.h"

#include <cstdint>

namespace Tarvio::Detail {

// Memory held back from the start so that an out-of-memory report can still be built: every failed
// allocation frees one block. Nothing refills it.
class MemoryReserve : public Noncopyable {
public:
    static constexpr int32_t BlockCount = 128;
    static constexpr int32_t BlockSize = 65536;

    static MemoryReserve& instance();

    // Frees the first block still held; does nothing once all are gone.
    void releaseBlock();
    int32_t blocksLeft();

    ~MemoryReserve();

private:
    MemoryReserve();

    void* mBlocks[BlockCount];
    Mutex mMutex;
};

} // namespace Tarvio::Detail
