#include "tarviolib/core/mutex.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <thread>

namespace Tarvio {
namespace {

TEST(MutexTest, SerialisesThreads) {
    Mutex mutex;
    int counter = 0;
    auto work = [&] {
        for (int i = 0; i < 10000; ++i) {
            ScopedLock lock(mutex);
            ++counter;
        }
    };
    std::thread first(work);
    std::thread second(work);
    first.join();
    second.join();
    EXPECT_EQ(counter, 20000);
}

TEST(MutexTest, RecursiveMutexCanBeTakenTwiceByOneThread) {
    // On a thread of its own, so that a mutex that deadlocks fails here at once instead of
    // hanging the whole test program; the blocked thread keeps the mutex alive.
    const auto mutex = std::make_shared<Mutex>(MutexKind::Recursive);
    std::promise<void> taken;
    std::future<void> takenTwice = taken.get_future();
    std::thread([mutex, done = std::move(taken)]() mutable {
        ScopedLock outer(*mutex);
        ScopedLock inner(*mutex);
        done.set_value();
    }).detach();
    ASSERT_EQ(takenTwice.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    // Released as often as taken: free for another thread.
    std::thread([mutex] { ScopedLock lock(*mutex); }).join();
}

TEST(MutexTest, PlainMutexIsFreeAfterTheGuard) {
    Mutex mutex;
    { ScopedLock lock(mutex); }
    bool locked = false;
    std::thread other([&] {
        ScopedLock lock(mutex);
        locked = true;
    });
    other.join();
    EXPECT_TRUE(locked);
}

} // namespace
} // namespace Tarvio
