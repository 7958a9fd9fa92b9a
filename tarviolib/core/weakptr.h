#pragma once

#include "tarviolib/core/sharedptr.h"

#include <type_traits>
#include <utility>

namespace Tarvio {

// Observes a shared object without keeping it alive; lock() gives a SharedPtr while it lives.
// The object's address is kept beside the block: the block knows the object only by its created
// type, and an observer interface may sit at another address within it.
template <typename T>
class WeakPtr {
    template <typename U>
    using IfConvertible = std::enable_if_t<std::is_convertible_v<U*, T*>>;

public:
    WeakPtr() noexcept = default;

    template <typename U, typename = IfConvertible<U>>
    WeakPtr(const SharedPtr<U>& shared) noexcept : WeakPtr(shared.mObject, shared.mBlock) {}

    WeakPtr(const WeakPtr& other) noexcept : WeakPtr(other.mObject, other.mBlock) {}
    WeakPtr(WeakPtr&& other) noexcept : mObject(other.mObject), mBlock(other.mBlock) { other.clear(); }

    template <typename U, typename = IfConvertible<U>>
    WeakPtr(const WeakPtr<U>& other) noexcept : WeakPtr(other.mObject, other.mBlock) {}

    WeakPtr& operator=(const WeakPtr& other) noexcept {
        WeakPtr(other).swap(*this);
        return *this;
    }

    WeakPtr& operator=(WeakPtr&& other) noexcept {
        WeakPtr(std::move(other)).swap(*this);
        return *this;
    }

    ~WeakPtr() { reset(); }

    void reset() noexcept {
        if (mBlock != nullptr) {
            mBlock->releaseWeak();
        }
        clear();
    }

    void swap(WeakPtr& other) noexcept {
        std::swap(mObject, other.mObject);
        std::swap(mBlock, other.mBlock);
    }

    // The object while some SharedPtr still holds it, else an empty pointer.
    SharedPtr<T> lock() const noexcept {
        if (mBlock == nullptr || !mBlock->tryAddStrong()) {
            return SharedPtr<T>();
        }
        return SharedPtr<T>(mObject, mBlock, typename SharedPtr<T>::AdoptCount{});
    }

private:
    template <typename U>
    friend class WeakPtr;

    WeakPtr(T* object, Detail::ControlBlockBase* block) noexcept : mObject(object), mBlock(block) {
        if (mBlock != nullptr) {
            mBlock->addWeak();
        }
    }

    void clear() noexcept {
        mObject = nullptr;
        mBlock = nullptr;
    }

    T* mObject = nullptr;
    Detail::ControlBlockBase* mBlock = nullptr;
};

} // namespace Tarvio
