#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

namespace Tarvio {

// Sole owner of one object; deleting goes through the object's virtual destructor, which frees
// through HeapAllocator.
template <typename T>
class UniquePtr {
public:
    UniquePtr() noexcept = default;
    UniquePtr(std::nullptr_t) noexcept {}
    explicit UniquePtr(T* object) noexcept : mObject(object) {}

    UniquePtr(UniquePtr&& other) noexcept : mObject(other.release()) {}

    template <typename U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    UniquePtr(UniquePtr<U>&& other) noexcept : mObject(other.release()) {}

    UniquePtr& operator=(UniquePtr&& other) noexcept {
        reset(other.release());
        return *this;
    }

    template <typename U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    UniquePtr& operator=(UniquePtr<U>&& other) noexcept {
        reset(other.release());
        return *this;
    }

    UniquePtr(const UniquePtr&) = delete;
    UniquePtr& operator=(const UniquePtr&) = delete;

    ~UniquePtr() { reset(); }

    // Deletes the held object (if any) and takes `object` instead.
    void reset(T* object = nullptr) noexcept {
        T* old = mObject;
        mObject = object;
        delete old;
    }

    // Gives up ownership without deleting.
    T* release() noexcept {
        T* object = mObject;
        mObject = nullptr;
        return object;
    }

    T* get() const noexcept { return mObject; }
    T& operator*() const noexcept { return *mObject; }
    T* operator->() const noexcept { return mObject; }
    explicit operator bool() const noexcept { return mObject != nullptr; }

private:
    T* mObject = nullptr;
};

template <typename T, typename... Args>
UniquePtr<T> makeUnique(Args&&... args) {
    return UniquePtr<T>(new T(std::forward<Args>(args)...));
}

} // namespace Tarvio
