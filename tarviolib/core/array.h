#pragma once

#include "tarviolib/core/heapallocator.h"
#include "tarviolib/core/object.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <new>
#include <utility>

namespace Tarvio {

namespace Detail {

// The capacity a block grows to when it must hold needed elements: by half its size at least.
inline int64_t grownCapacity(int32_t capacity, int64_t needed) {
    return std::max<int64_t>(needed, int64_t{capacity} + capacity / 2);
}

} // namespace Detail

// The library's dynamic array: int32 size and capacity, storage from HeapAllocator at T's
// alignment, growth by half the capacity, never shrinking.
template <typename T>
class Array : public Object {
public:
    Array() noexcept = default;

    Array(std::initializer_list<T> items) {
        if (items.size() > 0) {
            reallocate(static_cast<int64_t>(items.size()));
        }
        for (const T& item : items) {
            ::new (static_cast<void*>(mData + mSize)) T(item);
            ++mSize;
        }
    }

    Array(const Array& other) {
        if (other.mSize > 0) {
            reallocate(other.mSize);
            for (const T& item : other) {
                ::new (static_cast<void*>(mData + mSize)) T(item);
                ++mSize;
            }
        }
    }

    Array(Array&& other) noexcept
        : mData(std::exchange(other.mData, nullptr)),
          mSize(std::exchange(other.mSize, 0)),
          mCapacity(std::exchange(other.mCapacity, 0)) {}

    Array& operator=(const Array& other) {
        if (this != &other) {
            Array copy(other);
            swap(copy);
        }
        return *this;
    }

    Array& operator=(Array&& other) noexcept {
        if (this != &other) {
            Array taken(std::move(other));
            swap(taken);
        }
        return *this;
    }

    ~Array() {
        clear();
        HeapAllocator::deallocateNoexcept(mData);
        mData = nullptr;
        mCapacity = 0;
    }

    int32_t size() const { return mSize; }
    int32_t capacity() const { return mCapacity; }
    bool isEmpty() const { return mSize == 0; }

    T* data() { return mData; }
    const T* data() const { return mData; }

    // No range check.
    T& operator[](int32_t index) { return mData[index]; }
    const T& operator[](int32_t index) const { return mData[index]; }

    T* begin() { return mData; }
    T* end() { return mData + mSize; }
    const T* begin() const { return mData; }
    const T* end() const { return mData + mSize; }

    void append(const T& item) { emplace(item); }
    void append(T&& item) { emplace(std::move(item)); }

    template <typename... Args>
    T& emplace(Args&&... args) {
        if (mSize < mCapacity) {
            ::new (static_cast<void*>(mData + mSize)) T(std::forward<Args>(args)...);
        } else {
            // The new element is built before the old block goes: args may refer into it.
            const int64_t capacity = Detail::grownCapacity(mCapacity, int64_t{mSize} + 1);
            T* block = allocateBlock(capacity);
            try {
                ::new (static_cast<void*>(block + mSize)) T(std::forward<Args>(args)...);
            } catch (...) {
                HeapAllocator::deallocateNoexcept(block);
                throw;
            }
            moveInto(block, capacity);
        }
        return mData[mSize++];
    }

    // Makes room for capacity elements (exactly that many when the block must be replaced).
    void reserve(int32_t capacity) {
        if (capacity > mCapacity) {
            reallocate(capacity);
        }
    }

    // New elements are value-initialised; a smaller size destroys the tail.
    void resize(int32_t size) {
        size = std::max(size, 0);
        if (size > mCapacity) {
            reallocate(Detail::grownCapacity(mCapacity, size));
        }
        while (mSize < size) {
            ::new (static_cast<void*>(mData + mSize)) T();
            ++mSize;
        }
        while (mSize > size) {
            mData[--mSize].~T();
        }
    }

    // Destroys the elements in order; the block stays.
    void clear() {
        for (int32_t i = 0; i < mSize; ++i) {
            mData[i].~T();
        }
        mSize = 0;
    }

    void swap(Array& other) noexcept {
        std::swap(mData, other.mData);
        std::swap(mSize, other.mSize);
        std::swap(mCapacity, other.mCapacity);
    }

private:
    static T* allocateBlock(int64_t capacity) {
        return static_cast<T*>(
            HeapAllocator::allocateArray(capacity, static_cast<int64_t>(sizeof(T)), static_cast<int32_t>(alignof(T))));
    }

    void reallocate(int64_t capacity) { moveInto(allocateBlock(capacity), capacity); }

    // Moves the elements into block (of capacity elements, allocated) and frees the old block.
    void moveInto(T* block, int64_t capacity) noexcept {
        for (int32_t i = 0; i < mSize; ++i) {
            ::new (static_cast<void*>(block + i)) T(std::move(mData[i]));
            mData[i].~T();
        }
        HeapAllocator::deallocateNoexcept(mData);
        mData = block;
        mCapacity = static_cast<int32_t>(capacity);
    }

    T* mData = nullptr;
    int32_t mSize = 0;
    int32_t mCapacity = 0;
};

} // namespace Tarvio
