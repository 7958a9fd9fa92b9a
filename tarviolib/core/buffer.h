#pragma once

#include "tarviolib/core/heapallocator.h"
#include "tarviolib/core/object.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>

namespace Tarvio {

namespace Detail {

// Replaces block (oldCount elements) by one of newCount elements, keeping min(old, new) elements
// when keepContents is set. A count of 0 (or below) leaves no block.
inline void* resizeBlock(void* block, int64_t oldCount, int64_t newCount, int64_t elementSize, int32_t alignment,
                         bool keepContents) {
    void* resized = newCount > 0 ? HeapAllocator::allocateArray(newCount, elementSize, alignment) : nullptr;
    if (keepContents && resized && block) {
        std::memcpy(resized, block, static_cast<std::size_t>(std::min(oldCount, newCount) * elementSize));
    }
    HeapAllocator::deallocate(block);
    return resized;
}

// A block of exactly size elements of a trivially copyable type, with no spare capacity.
template <typename Element, typename Size>
class ExactBlock : public Noncopyable {
    static_assert(std::is_trivially_copyable_v<Element>, "blocks hold plain data");

public:
    ExactBlock() = default;
    ExactBlock(ExactBlock&& other) noexcept
        : mData(std::exchange(other.mData, nullptr)), mSize(std::exchange(other.mSize, 0)) {}
    ExactBlock& operator=(ExactBlock&& other) noexcept {
        std::swap(mData, other.mData);
        std::swap(mSize, other.mSize);
        return *this;
    }
    ~ExactBlock() {
        HeapAllocator::deallocateNoexcept(mData);
        mData = nullptr;
        mSize = 0;
    }

    Element* data() { return mData; }
    const Element* data() const { return mData; }
    Size size() const { return mSize; }
    // No range check.
    Element& operator[](Size index) { return mData[index]; }
    const Element& operator[](Size index) const { return mData[index]; }

    // An unchanged size keeps the block; a size of 0 or below frees it.
    void resize(Size size, bool keepContents) {
        size = std::max<Size>(size, 0);
        if (size == mSize) {
            return;
        }
        mData = static_cast<Element*>(resizeBlock(mData, mSize, size, static_cast<int64_t>(sizeof(Element)),
                                                  static_cast<int32_t>(alignof(Element)), keepContents));
        mSize = size;
    }

private:
    Element* mData = nullptr;
    Size mSize = 0;
};

} // namespace Detail

// Conversion and read buffers: int32 size, no spare capacity.
template <typename T>
class Buffer : public Detail::ExactBlock<T, int32_t> {
public:
    Buffer() = default;
    explicit Buffer(int32_t size) { allocate(size); }

    // A fresh block of exactly size elements (unspecified contents); below 1 leaves none.
    void allocate(int32_t size) { this->resize(size, false); }
};

} // namespace Tarvio
