#pragma once

#include "tarviolib/core/object.h"

#include <new>
#include <utility>

namespace Tarvio {

// A value that may be absent.
template <typename T>
class Optional : public Object {
public:
    Optional() noexcept {}
    Optional(const T& value) { construct(value); }
    Optional(T&& value) { construct(std::move(value)); }

    Optional(const Optional& other) {
        if (other.mHasValue) {
            construct(other.mValue);
        }
    }

    Optional(Optional&& other) noexcept {
        if (other.mHasValue) {
            construct(std::move(other.mValue));
        }
    }

    Optional& operator=(const Optional& other) {
        if (this != &other) {
            Optional copy(other);
            *this = std::move(copy);
        }
        return *this;
    }

    Optional& operator=(Optional&& other) noexcept {
        if (this == &other) {
            return *this;
        }
        if (!other.mHasValue) {
            reset();
        } else if (mHasValue) {
            mValue = std::move(other.mValue);
        } else {
            construct(std::move(other.mValue));
        }
        return *this;
    }

    ~Optional() { reset(); }

    bool hasValue() const { return mHasValue; }
    explicit operator bool() const { return mHasValue; }

    // Only while a value is held.
    T& value() { return mValue; }
    const T& value() const { return mValue; }
    T& operator*() { return mValue; }
    const T& operator*() const { return mValue; }
    T* operator->() { return &mValue; }
    const T* operator->() const { return &mValue; }

    T valueOr(T fallback) const { return mHasValue ? mValue : std::move(fallback); }

    void reset() {
        if (mHasValue) {
            mValue.~T();
            mHasValue = false;
        }
    }

private:
    template <typename V>
    void construct(V&& value) {
        ::new (static_cast<void*>(&mValue)) T(std::forward<V>(value));
        mHasValue = true;
    }

    union {
        T mValue;
    };
    bool mHasValue = false;
};

} // namespace Tarvio
