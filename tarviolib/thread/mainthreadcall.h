#pragma once

#include "tarviolib/core/function.h"
#include "tarviolib/core/object.h"
#include "tarviolib/core/sharedptr.h"
#include "tarviolib/thread/mainthreaddispatcher.h"

#include <atomic>
#include <exception>
#include <future>
#include <type_traits>

namespace Tarvio {

namespace Detail {

template <typename T>
struct MainThreadCall : public Object {
    std::promise<T> promise;
    std::atomic<bool> abandoned{false};
};

[[noreturn]] void throwMainThreadUnreachable();

} // namespace Detail

// Runs call on the main thread and answers its result, or throws what it threw; the caller waits
// meanwhile. On the main thread it runs at once. It goes by the second queue, so a main thread
// inside a nested loop (another dialog) still takes it. Throws Exception when the main thread
// cannot be woken (the library is not started).
template <typename T>
T callOnMainThread(const Function<T()>& call) {
    if (isMainThread()) {
        return call();
    }
    const SharedPtr<Detail::MainThreadCall<T>> shared = makeShared<Detail::MainThreadCall<T>>();
    std::future<T> result = shared->promise.get_future();
    const bool posted = postToMainThread(
        [shared, call] {
            if (shared->abandoned) {
                return;
            }
            try {
                if constexpr (std::is_void_v<T>) {
                    call();
                    shared->promise.set_value();
                } else {
                    shared->promise.set_value(call());
                }
            } catch (...) {
                // Handed on to the waiting caller, which rethrows it.
                shared->promise.set_exception(std::current_exception());
            }
        },
        MainThreadPostFlags::SecondQueue);
    if (!posted) {
        shared->abandoned = true;
        Detail::throwMainThreadUnreachable();
    }
    return result.get();
}

} // namespace Tarvio
