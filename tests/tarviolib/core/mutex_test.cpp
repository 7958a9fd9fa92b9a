#include "tarviolib/core/mutex.h"

#include <gtest/gtest.h>

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
    Mutex mutex(MutexKind::Recursive);
    ScopedLock outer(mutex);
    ScopedLock inner(mutex);
    SUCCEED();
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
