#pragma once

#include <cstdint>

namespace Tarvio {

// The allocator of every object and array of the library. allocate never returns null: when the
// runtime has no memory left it gives one block of the emergency reserve back and throws BadAlloc.
class HeapAllocator {
public:
    static void* allocate(int32_t size, int32_t alignment);
    static void deallocate(void* block);
    static void deallocateNoexcept(void* block) noexcept;

    // count elements of elementSize bytes; a total that does not fit one int32 allocation fails
    // as out of memory instead of wrapping.
    static void* allocateArray(int64_t count, int64_t elementSize, int32_t alignment);

    // Gives one reserve block back and throws BadAlloc for requestedSize bytes.
    [[noreturn]] static void failAllocation(int64_t requestedSize);

#ifdef TARVIO_TEST_SEAMS
    // The count-th allocation from now on (0: the next) of the calling thread fails as out of
    // memory, once; a negative count disarms. Answers what was left of the previous count, -1 once
    // it has failed or when none was set.
    static int32_t failAllocationAfter(int32_t count);
#endif

    // Object and control-block alignment.
    static constexpr int32_t ObjectAlignment = 16;
};

} // namespace Tarvio
