#include "tarviolib/thread/standbythread.h"

#include "tarviolib/core/exception.h"
#include "tarviolib/core/heapallocator.h"
#include "tarviolib/thread/mainthreadcall.h"
#include "tarviolib/thread/mainthreaddispatcher.h"
#include "tarviolib/thread/threadfailurereport.h"
#include "tests/support/addressspacehog.h"
#include "tests/support/processthreads.h"
#include "tests/support/watchdog.h"
#include "tests/tarviolib/thread/threadnamerecorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <vector>

namespace Tarvio {
namespace {

using namespace std::chrono_literals;

// Records what the tasks did, from any thread.
class Journal {
public:
    void add(const std::string& entry) {
        std::lock_guard<std::mutex> lock(mMutex);
        mEntries.push_back(entry);
    }
    std::vector<std::string> entries() {
        std::lock_guard<std::mutex> lock(mMutex);
        return mEntries;
    }

private:
    std::mutex mMutex;
    std::vector<std::string> mEntries;
};

class StandbyThreadTest : public testing::Test {
protected:
    void TearDown() override { setThreadFailureReporter(nullptr); }

    const Testing::Watchdog mWatchdog{60s, "a standby thread test"};
    const int mThreadsBefore = Testing::processThreadCount();
};

TEST_F(StandbyThreadTest, NeverUsedStartsNoThread) {
    { StandbyThread standby; EXPECT_EQ(Testing::processThreadCount(), mThreadsBefore); }
    EXPECT_EQ(Testing::processThreadCount(), mThreadsBefore);
}

TEST_F(StandbyThreadTest, LongTaskRunsOnTheNamedThreadWhileTheOwnerGetsControlBack) {
    const Testing::ThreadNameRecorder recorder;
    std::atomic<bool> release{false};
    std::atomic<bool> ended{false};
    DWORD taskThread = 0;
    {
        StandbyThread standby;
        standby.run(
            [&] {
                taskThread = GetCurrentThreadId();
                while (!release) {
                    std::this_thread::sleep_for(1ms);
                }
                ended = true;
            },
            false);
        EXPECT_FALSE(ended); // run returned while the task runs
        EXPECT_EQ(recorder.names(), std::vector<std::string>{"___TARVIO_standbyThread"});
        std::thread releaser([&] {
            std::this_thread::sleep_for(200ms);
            release = true;
        });
        releaser.detach();
    } // the destructor waits for the task, then joins the thread
    EXPECT_TRUE(ended);
    EXPECT_NE(taskThread, GetCurrentThreadId());
    EXPECT_EQ(Testing::processThreadCountSettlingAt(mThreadsBefore), mThreadsBefore);
}

TEST_F(StandbyThreadTest, EachRunReturnsOnlyAfterThePreviousTaskEndedAndTasksKeepTheirOrder) {
    Journal journal;
    {
        StandbyThread standby;
        int number = 0;
        for (const bool background : {true, true, false}) {
            ++number;
            standby.run(
                [&journal, number] {
                    std::this_thread::sleep_for(50ms);
                    journal.add("end " + std::to_string(number));
                },
                background);
            journal.add("returned " + std::to_string(number));
        }
    }
    std::vector<std::string> entries = journal.entries();
    ASSERT_EQ(entries.size(), 6u);
    const auto position = [&](const std::string& entry) {
        return std::find(entries.begin(), entries.end(), entry) - entries.begin();
    };
    EXPECT_LT(position("end 1"), position("returned 2"));
    EXPECT_LT(position("end 2"), position("returned 3"));
    EXPECT_LT(position("end 1"), position("end 2"));
    EXPECT_LT(position("end 2"), position("end 3"));
}

TEST_F(StandbyThreadTest, FailedTaskIsReportedAndTheThreadRunsNoFurtherTask) {
    std::vector<std::string> reports;
    setThreadFailureReporter([&](const String& message) { reports.push_back(message.toUtf8().text()); });
    bool laterTaskRan = false;
    {
        StandbyThread standby;
        standby.run([] { throwException(String("task failed")); }, false);
        try {
            standby.run([&] { laterTaskRan = true; }, false);
            ADD_FAILURE() << "no exception";
        } catch (const Exception& exception) {
            EXPECT_STREQ(exception.what(), "The standby thread runs no further task after a failed one.");
        }
    }
    EXPECT_EQ(reports, std::vector<std::string>{"task failed"});
    EXPECT_FALSE(laterTaskRan);
    EXPECT_EQ(Testing::processThreadCountSettlingAt(mThreadsBefore), mThreadsBefore);
}

// The owner, on the main thread, is destroyed while the task waits for the main thread.
TEST_F(StandbyThreadTest, DestructionServesTheMainThreadWhileTheTaskWaitsForIt) {
    ASSERT_TRUE(createHiddenWindow());
    int answer = 0;
    {
        StandbyThread standby;
        standby.run(
            [&] {
                std::this_thread::sleep_for(50ms);
                answer = callOnMainThread<int>([] { return isMainThread() ? 42 : -1; });
            },
            false);
    }
    EXPECT_EQ(answer, 42);
    destroyHiddenWindow();
}

TEST(StandbyThreadDeathTest, OutOfMemoryInATaskEndsTheProcessInsteadOfPassingForItsFailure) {
    const Function<void()> starvedTasks[] = {
        [] {
            HeapAllocator::failAllocationAfter(0);
            HeapAllocator::allocate(16, 16);
        },
        [] { throw std::bad_alloc(); }, // as the standard library's own allocations fail
    };
    for (const Function<void()>& starved : starvedTasks) {
        EXPECT_DEATH(
            {
                StandbyThread standby;
                standby.run(starved, false);
            },
            "");
    }
}

TEST_F(StandbyThreadTest, ThreadThatCannotStartFailsClearly) {
    if (sizeof(void*) != 4) {
        GTEST_SKIP() << "the address space of a 64-bit process cannot be filled";
    }
    std::string error;
    bool ran = false;
    {
        StandbyThread standby;
        {
            const Testing::AddressSpaceHog hog;
            try {
                standby.run([] {}, false);
            } catch (const Exception& exception) {
                error = exception.what();
            }
        }
        standby.run([&] { ran = true; }, false); // nothing was left half started
    }
    EXPECT_EQ(error.rfind("Cannot start a thread: ", 0), 0u) << error;
    EXPECT_TRUE(ran);
}

} // namespace
} // namespace Tarvio
