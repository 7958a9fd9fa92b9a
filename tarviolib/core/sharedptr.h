#pragma once

#include "tarviolib/core/detail/controlblock.h"
#include "tarviolib/core/uniqueptr.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

namespace Tarvio {

template <typename T>
class WeakPtr;

// Shared owner of one object. Copies may be made, released and locked on any thread at once;
// the object itself is not synchronised.
template <typename T>
class SharedPtr {
    template <typename U>
    using IfConvertible = std::enable_if_t<std::is_convertible_v<U*, T*>>;

public:
    SharedPtr() noexcept = default;
    SharedPtr(std::nullptr_t) noexcept {}

    // Takes over an object created on its own; it is deleted through its virtual destructor.
    explicit SharedPtr(T* object) { reset(object); }

    template <typename U, typename = IfConvertible<U>>
    SharedPtr(UniquePtr<U>&& object) {
        reset(object.release());
    }

    // Takes over `object`; `deleter(object)` ends its life when the last strong holder goes.
    template <typename Deleter>
    SharedPtr(T* object, Deleter deleter) {
        adopt(object, std::move(deleter));
    }

    SharedPtr(const SharedPtr& other) noexcept : SharedPtr(other.mObject, other.mBlock, AddCount{}) {}
    SharedPtr(SharedPtr&& other) noexcept : mObject(other.mObject), mBlock(other.mBlock) { other.clear(); }

    template <typename U, typename = IfConvertible<U>>
    SharedPtr(const SharedPtr<U>& other) noexcept : SharedPtr(other.mObject, other.mBlock, AddCount{}) {}

    template <typename U, typename = IfConvertible<U>>
    SharedPtr(SharedPtr<U>&& other) noexcept : mObject(other.mObject), mBlock(other.mBlock) {
        other.clear();
    }

    // The new block is counted before the old one is released, so self-assignment is safe.
    SharedPtr& operator=(const SharedPtr& other) noexcept {
        SharedPtr(other).swap(*this);
        return *this;
    }

    SharedPtr& operator=(SharedPtr&& other) noexcept {
        SharedPtr(std::move(other)).swap(*this);
        return *this;
    }

    template <typename U, typename = IfConvertible<U>>
    SharedPtr& operator=(const SharedPtr<U>& other) noexcept {
        SharedPtr(other).swap(*this);
        return *this;
    }

    template <typename U, typename = IfConvertible<U>>
    SharedPtr& operator=(SharedPtr<U>&& other) noexcept {
        SharedPtr(std::move(other)).swap(*this);
        return *this;
    }

    ~SharedPtr() { reset(); }

    void reset() noexcept {
        if (mBlock != nullptr) {
            mBlock->releaseStrong();
        }
        clear();
    }

    // Releases what was held, then takes over `object`; a null object leaves the pointer empty.
    void reset(T* object) {
        reset();
        adopt(object, Detail::DefaultDeleter<T>());
    }

    void swap(SharedPtr& other) noexcept {
        std::swap(mObject, other.mObject);
        std::swap(mBlock, other.mBlock);
    }

    T* get() const noexcept { return mObject; }
    T& operator*() const noexcept { return *mObject; }
    T* operator->() const noexcept { return mObject; }
    explicit operator bool() const noexcept { return mObject != nullptr; }

    // Strong holders of the object; 0 when empty.
    int32_t useCount() const noexcept { return mBlock != nullptr ? mBlock->strongCount() : 0; }

private:
    template <typename U>
    friend class SharedPtr;
    template <typename U>
    friend class WeakPtr;
    template <typename U, typename... Args>
    friend SharedPtr<U> makeShared(Args&&... args);

    struct AddCount {};
    struct AdoptCount {};

    // Adopts one strong count that the caller already holds on `block`.
    SharedPtr(T* object, Detail::ControlBlockBase* block, AdoptCount) noexcept : mObject(object), mBlock(block) {}

    SharedPtr(T* object, Detail::ControlBlockBase* block, AddCount) noexcept : mObject(object), mBlock(block) {
        if (mBlock != nullptr) {
            mBlock->addStrong();
        }
    }

    template <typename Deleter>
    void adopt(T* object, Deleter deleter) {
        if (object == nullptr) {
            return;
        }
        try {
            mBlock = new Detail::DeleterControlBlock<T, Deleter>(object, std::move(deleter));
        } catch (...) {
            // Without a block nobody else would ever free the object.
            deleter(object);
            throw;
        }
        mObject = object;
    }

    void clear() noexcept {
        mObject = nullptr;
        mBlock = nullptr;
    }

    T* mObject = nullptr;
    Detail::ControlBlockBase* mBlock = nullptr;
};

// Creates `T` inside its control block: one allocation for both.
template <typename T, typename... Args>
SharedPtr<T> makeShared(Args&&... args) {
    auto* block = new Detail::CompositeControlBlock<T>(std::forward<Args>(args)...);
    return SharedPtr<T>(block->managed(), block, typename SharedPtr<T>::AdoptCount{});
}

} // namespace Tarvio
