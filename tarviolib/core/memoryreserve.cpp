#include "tarviolib/core/memoryreserve.h"

#include <cstdlib>

namespace Tarvio::Detail {

namespace {

// Builds the reserve before the program's entry rather than at the first failure.
[[maybe_unused]] const MemoryReserve& gReserveAtStart = MemoryReserve::instance();

} // namespace

MemoryReserve& MemoryReserve::instance() {
    static MemoryReserve reserve;
    return reserve;
}

MemoryReserve::MemoryReserve() {
    // Plain runtime blocks, not HeapAllocator ones: the reserve must not depend on itself.
    for (void*& block : mBlocks) {
        block = std::calloc(1, BlockSize);
    }
}

MemoryReserve::~MemoryReserve() {
    for (void*& block : mBlocks) {
        std::free(block);
        block = nullptr;
    }
}

void MemoryReserve::releaseBlock() {
    ScopedLock lock(mMutex);
    for (void*& block : mBlocks) {
        if (block) {
            std::free(block);
            block = nullptr;
            return;
        }
    }
}

int32_t MemoryReserve::blocksLeft() {
    ScopedLock lock(mMutex);
    int32_t count = 0;
    for (void* block : mBlocks) {
        count += block ? 1 : 0;
    }
    return count;
}

} // namespace Tarvio::Detail
