#include "tarviolib/thread/scheduler.h"

#include "tarviolib/core/debugoutput.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/winapi/systeminfo.h"
#include "tests/support/addressspacehog.h"
#include "tests/support/processthreads.h"
#include "tests/tarviolib/thread/functiontask.h"
#include "tests/tarviolib/thread/threadnamerecorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace Tarvio {
namespace {

using namespace std::chrono_literals;
using Testing::FunctionTask;

SharedPtr<Task> task(Function<void()> work, TaskPriority priority = TaskPriority::Normal) {
    return makeShared<FunctionTask>(std::move(work), SharedPtr<Task>(), priority);
}

// Waits, at most ten seconds, until condition holds.
template <typename Condition>
bool eventually(Condition condition) {
    for (int i = 0; i < 1000 && !condition(); ++i) {
        std::this_thread::sleep_for(10ms);
    }
    return condition();
}

// Keeps the tasks it made waiting until opened.
class Gate {
public:
    ~Gate() { open(); }

    SharedPtr<Task> blocker() {
        return task([this] {
            ++mWaiting;
            while (!mOpen) {
                std::this_thread::sleep_for(1ms);
            }
        });
    }
    bool waitingAtLeast(int count) {
        return eventually([&] { return mWaiting >= count; });
    }
    void open() { mOpen = true; }

private:
    std::atomic<int> mWaiting{0};
    std::atomic<bool> mOpen{false};
};

TEST(Scheduler, StartsOneNamedWorkerPerLogicalProcessorAndJoinsThemAll) {
    const int before = Testing::processThreadCount();
    const Testing::ThreadNameRecorder recorder;
    const int count = SystemInfo::logicalProcessorCount();
    {
        Scheduler scheduler(String("Pool"), ThreadPriority::Normal);
        EXPECT_EQ(scheduler.workerCount(), count);
        EXPECT_GE(Testing::processThreadCount(), before + count);
        ASSERT_TRUE(eventually([&] { return static_cast<int>(recorder.names().size()) >= count; }));
        std::vector<std::string> names = recorder.names();
        std::vector<std::string> expected;
        for (int i = 0; i < count; ++i) {
            expected.push_back("Pool_" + std::to_string(i));
        }
        std::sort(names.begin(), names.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(names, expected);
    } // never told to stop: the destructor stops the workers before it joins them
    EXPECT_EQ(Testing::processThreadCountSettlingAt(before), before);
}

TEST(Scheduler, EachWorkersRecordHasCacheLinesOfItsOwn) {
    constexpr uintptr_t CacheLine = 64;
    Scheduler scheduler(String("Lines"), ThreadPriority::Normal);
    // The first and the last cache line of each record.
    std::vector<std::pair<uintptr_t, uintptr_t>> lines;
    for (int32_t i = 0; i < scheduler.workerCount(); ++i) {
        const Scheduler::RecordPlace place = scheduler.workerRecordPlace(i);
        EXPECT_EQ(place.address % CacheLine, 0u) << "worker " << i;
        EXPECT_EQ(place.size % CacheLine, 0u) << "worker " << i;
        lines.emplace_back(place.address / CacheLine, (place.address + place.size - 1) / CacheLine);
    }
    std::sort(lines.begin(), lines.end());
    for (size_t i = 1; i < lines.size(); ++i) {
        EXPECT_LT(lines[i - 1].second, lines[i].first) << "two records share a cache line";
    }
}

TEST(Scheduler, RunsTasksAndContinuationsOnWorkersAndHandsFailuresToTheWaiter) {
    Scheduler scheduler(String("Pool"), ThreadPriority::Normal);
    std::atomic<int> runs{0};
    std::atomic<bool> onMainThread{false};
    const DWORD mainThread = GetCurrentThreadId();
    std::vector<SharedPtr<Task>> tasks;
    for (int i = 0; i < 200; ++i) {
        tasks.push_back(task([&] {
            ++runs;
            onMainThread = onMainThread || GetCurrentThreadId() == mainThread;
        }));
        scheduler.submit(tasks.back());
    }
    for (const SharedPtr<Task>& t : tasks) {
        t->wait();
    }
    EXPECT_EQ(runs, 200);
    EXPECT_FALSE(onMainThread);

    std::vector<std::string> order;
    const SharedPtr<Task> failing = task([&] {
        order.push_back("continuation");
        throwException(String("continuation failed"));
    });
    const SharedPtr<Task> first =
        makeShared<FunctionTask>([&] { order.push_back("first"); }, failing, TaskPriority::Low);
    scheduler.submit(first);
    try {
        first->wait();
        ADD_FAILURE() << "no exception";
    } catch (const Exception& exception) {
        EXPECT_STREQ(exception.what(), "continuation failed");
    }
    EXPECT_EQ(order, (std::vector<std::string>{"first", "continuation"}));
    EXPECT_EQ(failing->priority(), static_cast<int32_t>(TaskPriority::Low));
}

TEST(Scheduler, FreeWorkerTakesTheHighestLevelFirst) {
    Scheduler scheduler(String("Pool"), ThreadPriority::Normal);
    const int count = scheduler.workerCount();
    Gate busy;
    for (int i = 0; i < count - 1; ++i) {
        scheduler.submit(busy.blocker());
    }
    ASSERT_TRUE(busy.waitingAtLeast(count - 1));
    Gate last;
    scheduler.submit(last.blocker());
    ASSERT_TRUE(last.waitingAtLeast(1));

    std::mutex mutex;
    std::vector<std::string> order;
    std::vector<SharedPtr<Task>> tasks;
    for (const auto& [name, priority] : {std::pair{"low", TaskPriority::Low}, std::pair{"high", TaskPriority::High},
                                         std::pair{"normal", TaskPriority::Normal}}) {
        tasks.push_back(task(
            [&mutex, &order, name = std::string(name)] {
                std::lock_guard<std::mutex> lock(mutex);
                order.push_back(name);
            },
            priority));
        scheduler.submit(tasks.back());
    }
    last.open(); // one worker free: it takes the three one after the other
    for (const SharedPtr<Task>& t : tasks) {
        t->wait();
    }
    EXPECT_EQ(order, (std::vector<std::string>{"high", "normal", "low"}));
}

TEST(Scheduler, TasksQueuedByABusyWorkerAreStolenByTheOthers) {
    Scheduler scheduler(String("Pool"), ThreadPriority::Normal);
    if (scheduler.workerCount() < 2) {
        GTEST_SKIP() << "one worker steals from nobody";
    }
    std::atomic<int> runs{0};
    const SharedPtr<Task> parent = task([&] {
        std::vector<SharedPtr<Task>> children;
        for (int i = 0; i < 20; ++i) {
            children.push_back(task([&] { ++runs; }));
            scheduler.submit(children.back()); // into this worker's own queue
        }
        // This worker stays busy: only the others can run the children.
        for (const SharedPtr<Task>& child : children) {
            child->wait();
        }
    });
    scheduler.submit(parent);
    parent->wait();
    EXPECT_EQ(runs, 20);
}

TEST(Scheduler, WorkerPriorityReachesEveryWorker) {
    Scheduler scheduler(String("Pool"), ThreadPriority::Low);
    const int count = scheduler.workerCount();
    std::atomic<int> arrived{0};
    std::mutex mutex;
    std::vector<int> priorities;
    std::vector<SharedPtr<Task>> tasks;
    for (int i = 0; i < count; ++i) {
        tasks.push_back(task([&] {
            ++arrived;
            eventually([&] { return arrived >= count; }); // one task per worker
            std::lock_guard<std::mutex> lock(mutex);
            priorities.push_back(GetThreadPriority(GetCurrentThread()));
        }));
        scheduler.submit(tasks.back());
    }
    for (const SharedPtr<Task>& t : tasks) {
        t->wait();
    }
    EXPECT_EQ(priorities, std::vector<int>(count, THREAD_PRIORITY_IDLE));
}

TEST(Scheduler, UnchangedPriorityDoesNothingAndAnUnknownOneStops) {
    Scheduler scheduler(String("Pool"), ThreadPriority::Normal);
    std::vector<std::wstring> lines;
    Detail::overrideDebugOutput(
        true, [] { return Detail::DebugClockTime{0, 0, 0}; }, [&](const wchar_t* line) { lines.push_back(line); });
    scheduler.setWorkerThreadsPriority(ThreadPriority::Normal);
    EXPECT_TRUE(lines.empty()); // not even the timer's line
    try {
        scheduler.setWorkerThreadsPriority(static_cast<ThreadPriority>(5));
        ADD_FAILURE() << "no exception";
    } catch (const Exception& exception) {
        EXPECT_STREQ(exception.what(), "STOP@tarviolib/thread/scheduler(389)");
    }
    Detail::restoreDebugOutput();
}

TEST(Scheduler, WorkerThatCannotStartFailsClearlyAfterJoiningTheStartedOnes) {
    if (sizeof(void*) != 4) {
        GTEST_SKIP() << "the address space of a 64-bit process cannot be filled";
    }
    const int before = Testing::processThreadCount();
    std::string error;
    {
        const Testing::AddressSpaceHog hog(1); // room for about one worker's stack
        try {
            Scheduler scheduler(String("Pool"), ThreadPriority::Normal);
        } catch (const Exception& exception) {
            error = exception.what();
        }
    }
    EXPECT_EQ(error.rfind("Cannot start a thread: ", 0), 0u) << error;
    EXPECT_EQ(Testing::processThreadCountSettlingAt(before), before);
}

} // namespace
} // namespace Tarvio
