#include "tarviolib/core/heapallocator.h"

#include "tarviolib/core/badalloc.h"
#include "tarviolib/core/memoryreserve.h"

#include <cstdint>
#include <cstdlib>
#include <utility>
#if defined(_WIN32)
#include <malloc.h>
#endif

namespace Tarvio {

namespace {

void* alignedAllocate(int32_t size, int32_t alignment) noexcept {
    // A zero-byte request still gets a block of its own, so that null always means failure.
    const std::size_t bytes = size > 0 ? static_cast<std::size_t>(size) : 1u;
    std::size_t align = alignment > 0 ? static_cast<std::size_t>(alignment) : 1u;
#if defined(_WIN32)
    return _aligned_malloc(bytes, align);
#else
    if (align < sizeof(void*)) {
        align = sizeof(void*); // posix_memalign's minimum
    }
    void* block = nullptr;
    return posix_memalign(&block, align, bytes) == 0 ? block : nullptr;
#endif
}

void alignedFree(void* block) noexcept {
#if defined(_WIN32)
    _aligned_free(block);
#else
    std::free(block);
#endif
}

#ifdef TARVIO_TEST_SEAMS
thread_local int32_t allocationsBeforeFailure = -1;
#endif

} // namespace

#ifdef TARVIO_TEST_SEAMS
int32_t HeapAllocator::failAllocationAfter(int32_t count) {
    return std::exchange(allocationsBeforeFailure, count < 0 ? -1 : count);
}
#endif

void* HeapAllocator::allocate(int32_t size, int32_t alignment) {
#ifdef TARVIO_TEST_SEAMS
    if (allocationsBeforeFailure >= 0 && allocationsBeforeFailure-- == 0) {
        failAllocation(size);
    }
#endif
    if (size >= 0) {
        if (void* block = alignedAllocate(size, alignment)) {
            return block;
        }
    }
    failAllocation(size);
}

void* HeapAllocator::allocateArray(int64_t count, int64_t elementSize, int32_t alignment) {
    if (count < 0 || elementSize < 0) {
        failAllocation(-1);
    }
    if (elementSize != 0 && count > INT32_MAX / elementSize) {
        // The product may not even fit 64 bits; report the largest size that does.
        failAllocation(count > INT64_MAX / elementSize ? INT64_MAX : count * elementSize);
    }
    return allocate(static_cast<int32_t>(count * elementSize), alignment);
}

void HeapAllocator::failAllocation(int64_t requestedSize) {
    Detail::MemoryReserve::instance().releaseBlock();
    throw BadAlloc(requestedSize);
}

void HeapAllocator::deallocate(void* block) {
    alignedFree(block);
}

void HeapAllocator::deallocateNoexcept(void* block) noexcept {
    alignedFree(block);
}

} // namespace Tarvio
