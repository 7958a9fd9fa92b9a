#pragma once

#include "tarviolib/core/object.h"

#include <atomic>
#include <cstdint>
#include <new>
#include <utility>

namespace Tarvio {
namespace Detail {

// Shared bookkeeping of one managed object. Every strong holder also holds one weak count, so
// the block outlives the object until the last weak holder is gone.
class ControlBlockBase : public Polymorphic {
public:
    // Ends the managed object's life; the block stays.
    virtual void destroyObject() noexcept = 0;
    virtual void destroyBlock() noexcept { delete this; }

    void addStrong() noexcept {
        mStrongCount.fetch_add(1, std::memory_order_relaxed);
        mWeakCount.fetch_add(1, std::memory_order_relaxed);
    }

    void addWeak() noexcept { mWeakCount.fetch_add(1, std::memory_order_relaxed); }

    // Takes a strong count only while the object is alive (locking a weak pointer).
    bool tryAddStrong() noexcept {
        int32_t count = mStrongCount.load(std::memory_order_relaxed);
        while (count != 0) {
            if (mStrongCount.compare_exchange_weak(count, count + 1, std::memory_order_acq_rel,
                                                   std::memory_order_relaxed)) {
                mWeakCount.fetch_add(1, std::memory_order_relaxed);
                return true;
            }
        }
        return false;
    }

    void releaseStrong() noexcept {
        if (mStrongCount.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            destroyObject();
        }
        releaseWeak();
    }

    void releaseWeak() noexcept {
        if (mWeakCount.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            destroyBlock();
        }
    }

    int32_t strongCount() const noexcept { return mStrongCount.load(std::memory_order_relaxed); }

private:
    std::atomic<int32_t> mStrongCount{1};
    std::atomic<int32_t> mWeakCount{1};
};

// Block and object in one allocation: the object is built in place right after the counts.
template <typename T>
class CompositeControlBlock final : public ControlBlockBase {
public:
    static_assert(alignof(T) <= HeapAllocator::ObjectAlignment, "over-aligned shared object");

    template <typename... Args>
    explicit CompositeControlBlock(Args&&... args) {
        ::new (static_cast<void*>(mStorage)) T(std::forward<Args>(args)...);
    }

    void destroyObject() noexcept override { managed()->~T(); }
    T* managed() noexcept { return std::launder(reinterpret_cast<T*>(mStorage)); }

private:
    alignas(T) unsigned char mStorage[sizeof(T)];
};

template <typename T>
struct DefaultDeleter {
    void operator()(T* object) const noexcept { delete object; }
};

// For an object created on its own and handed over afterwards.
template <typename T, typename Deleter>
class DeleterControlBlock final : public ControlBlockBase {
public:
    DeleterControlBlock(T* object, Deleter deleter) : mObject(object), mDeleter(std::move(deleter)) {}

    void destroyObject() noexcept override {
        mDeleter(mObject);
        mObject = nullptr;
    }

private:
    T* mObject;
    Deleter mDeleter;
};

} // namespace Detail
} // namespace Tarvio
