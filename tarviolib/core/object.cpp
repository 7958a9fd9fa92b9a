#include "tarviolib/core/object.h"

#include <algorithm>
#include <cstdint>

namespace Tarvio {

namespace {

void* allocateObject(std::size_t size) {
    if (size > static_cast<std::size_t>(INT32_MAX)) {
        HeapAllocator::failAllocation(static_cast<int64_t>(std::min<uint64_t>(size, INT64_MAX)));
    }
    return HeapAllocator::allocate(static_cast<int32_t>(size), HeapAllocator::ObjectAlignment);
}

} // namespace

void* Object::operator new(std::size_t size) {
    return allocateObject(size);
}

void* Object::operator new[](std::size_t size) {
    return allocateObject(size);
}

} // namespace Tarvio
