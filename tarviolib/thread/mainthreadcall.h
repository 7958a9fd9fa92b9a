#pragma once

#include "tarviolib/core/exception.h"
#include "tarviolib/core/function.h"
#include "tarviolib/core/sharedptr.h"
#include "tarviolib/thread/mainthreaddispatcher.h"

#include <exception>
#include <future>

namespace Tarvio {

// Runs the call on the main thread and waits for its value; on the main thread itself it runs at
// once. What the call throws is thrown here, on the waiting thread. The main thread must not be
// waiting for the caller meanwhile.
template <typename T>
T callOnMainThread(const Function<T()>& call) {
    const SharedPtr<std::promise<T>> answer = makeShared<std::promise<T>>();
    std::future<T> future = answer->get_future();
    const bool posted = postToMainThread(Function<void()>([call, answer] {
        try {
            if constexpr (std::is_void_v<T>) {
                call();
                answer->set_value();
            } else {
                answer->set_value(call());
            }
        } catch (...) {
            answer->set_exception(std::current_exception());
        }
    }));
    if (!posted) {
        throwException("The main thread does not take tasks.");
    }
    return future.get();
}

} // namespace Tarvio
