#pragma once

#include "tarviolib/core/function.h"
#include "tarviolib/core/object.h"
#include "tarviolib/core/optional.h"
#include "tarviolib/core/string.h"

#include <cstdint>

namespace Tarvio {

// Owns a started thread until it is joined. Movable, not copyable; replacing or destroying a
// handle that was never joined ends the process (std::terminate), as std::thread does.
class ThreadHandle : public Object {
public:
    ThreadHandle() noexcept = default;
    ThreadHandle(ThreadHandle&& other) noexcept;
    ThreadHandle& operator=(ThreadHandle&& other) noexcept;
    ThreadHandle(const ThreadHandle&) = delete;
    ThreadHandle& operator=(const ThreadHandle&) = delete;
    ~ThreadHandle();

    // Starts body on a new thread whose stack reserves stackReservation bytes (reserved, not
    // committed). Throws Exception with the system's reason when the thread cannot be created.
    static ThreadHandle start(uint32_t stackReservation, const Function<void()>& body);

    void* nativeHandle() const { return mHandle; }
    bool joinable() const { return mHandle != nullptr; }

    // Waits for the thread's end, without limit when no time-out is given. False on time-out (the
    // handle stays joinable); otherwise the handle is closed and the result is whether the wait
    // succeeded.
    bool join(const Optional<uint32_t>& timeoutMs = Optional<uint32_t>());

private:
    explicit ThreadHandle(void* handle) noexcept : mHandle(handle) {}

    void* mHandle = nullptr;
};

} // namespace Tarvio
