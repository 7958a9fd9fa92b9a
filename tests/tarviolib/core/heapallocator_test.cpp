#include "tarviolib/core/badalloc.h"
#include "tarviolib/core/heapallocator.h"
#include "tarviolib/core/memoryreserve.h"
#include "tarviolib/core/object.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#if defined(__SANITIZE_ADDRESS__)
// Let the sanitizer allocator refuse large requests with null, as the 32-bit runtime does, so that
// the out-of-memory road can be taken.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1:max_allocation_size_mb=1024";
}
#endif

namespace Tarvio {
namespace {

#if defined(_WIN64)
// A 64-bit process is given any int32 size; a size the allocator itself refuses takes the same road.
constexpr int32_t RefusedSize = -1;
#else
// More than the runtime will give: 1.5 GiB.
constexpr int32_t RefusedSize = 0x60000000;
#endif

TEST(HeapAllocatorTest, BlocksHaveTheirAlignment) {
    for (int32_t alignment : {1, 2, 4, 16, 64}) {
        void* block = HeapAllocator::allocate(24, alignment);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % static_cast<uintptr_t>(alignment), 0u) << alignment;
        HeapAllocator::deallocate(block);
    }
    void* empty = HeapAllocator::allocate(0, 16);
    EXPECT_NE(empty, nullptr);
    HeapAllocator::deallocate(empty);
    HeapAllocator::deallocate(nullptr);
}

TEST(HeapAllocatorTest, ObjectsComeAtSixteenBytes) {
    struct Small : Object {
        char byte;
    };
    Small* small = new Small;
    EXPECT_EQ(reinterpret_cast<uintptr_t>(small) % 16u, 0u);
    delete small;
}

TEST(HeapAllocatorTest, SizesThatDoNotFitFailAsOutOfMemory) {
    EXPECT_THROW(HeapAllocator::allocate(-1, 1), BadAlloc);
    EXPECT_THROW(HeapAllocator::allocateArray(INT32_MAX, 2, 2), BadAlloc);
    EXPECT_THROW(HeapAllocator::allocateArray(std::numeric_limits<int64_t>::max(), 8, 8), BadAlloc);
    EXPECT_THROW(HeapAllocator::allocateArray(-1, 8, 8), BadAlloc);
    EXPECT_THROW(Object::operator new(static_cast<std::size_t>(INT32_MAX) + 1), BadAlloc);
    void* block = HeapAllocator::allocateArray(3, 8, 8);
    HeapAllocator::deallocate(block);
}

TEST(HeapAllocatorTest, EachFailureReleasesOneReserveBlockUntilNoneIsLeft) {
    Detail::MemoryReserve& reserve = Detail::MemoryReserve::instance();
    for (int32_t left = reserve.blocksLeft(); left > 0; --left) {
        EXPECT_THROW(HeapAllocator::allocate(RefusedSize, 16), BadAlloc);
        ASSERT_EQ(reserve.blocksLeft(), left - 1);
    }
    // Past the last block: nothing to release, still BadAlloc.
    EXPECT_THROW(HeapAllocator::allocate(RefusedSize, 16), BadAlloc);
    EXPECT_EQ(reserve.blocksLeft(), 0);
}

} // namespace
} // namespace Tarvio
