#pragma once

#include "tarviolib/core/function.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace Tarvio::Testing {

// Runs work on another thread while this (the main) thread dispatches messages.
inline void onWorkerWhileDispatching(const Function<void()>& work) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
        work();
        done = true;
    });
    while (!done) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    worker.join();
}

} // namespace Tarvio::Testing
