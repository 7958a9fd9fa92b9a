#pragma once

// A hard time-out for a test that can show a box or wait on the GUI: when the scope is not left
// in time, the process ends with a message instead of hanging until the test runner's limit.

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace Tarvio::Testing {

class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit, const char* what)
        : mThread([this, limit, what] {
              std::unique_lock<std::mutex> lock(mMutex);
              if (!mDone.wait_for(lock, limit, [this] { return mFinished; })) {
                  std::fprintf(stderr, "Watchdog: %s did not end within %lld s\n", what,
                               static_cast<long long>(limit.count()));
                  std::fflush(stderr);
                  std::_Exit(4);
              }
          }) {}

    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(mMutex);
            mFinished = true;
        }
        mDone.notify_all();
        mThread.join();
    }

    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::mutex mMutex;
    std::condition_variable mDone;
    bool mFinished = false;
    std::thread mThread;
};

} // namespace Tarvio::Testing
