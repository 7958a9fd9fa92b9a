#pragma once

#include "tarviolib/core/object.h"

#include <utility>

namespace Tarvio {

// Sole owner of a platform handle, released when the owner dies, so that a handle never leaks
// when an exception leaves between its acquisition and its release. Traits says what an empty
// handle is and how one is released:
//   struct Traits {
//       using Handle = ...;
//       static Handle empty() noexcept;
//       static void release(Handle handle) noexcept;  // only ever called with a non-empty one
//   };
template <typename Traits>
class ScopedHandle {
public:
    using Handle = typename Traits::Handle;

    ScopedHandle() noexcept = default;
    explicit ScopedHandle(Handle handle) noexcept : mHandle(handle) {}
    ScopedHandle(ScopedHandle&& other) noexcept : mHandle(other.detach()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        reset(other.detach());
        return *this;
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ~ScopedHandle() { reset(); }

    Handle get() const noexcept { return mHandle; }
    explicit operator bool() const noexcept { return mHandle != Traits::empty(); }

    // Releases the handle held, if any, and takes handle.
    void reset(Handle handle = Traits::empty()) noexcept {
        const Handle old = std::exchange(mHandle, handle);
        if (old != Traits::empty()) {
            Traits::release(old);
        }
    }

    // Gives the handle up without releasing it.
    Handle detach() noexcept { return std::exchange(mHandle, Traits::empty()); }

    // For a call that writes a new handle through a pointer: releases the one held first.
    Handle* receive() noexcept {
        reset();
        return &mHandle;
    }

private:
    Handle mHandle = Traits::empty();
};

} // namespace Tarvio
