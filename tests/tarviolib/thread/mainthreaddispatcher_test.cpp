#include "tarviolib/thread/mainthreaddispatcher.h"

#include "tarviolib/core/debugoutput.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/core/heapallocator.h"
#include "tests/support/watchdog.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <new>
#include <string>
#include <thread>
#include <vector>

namespace Tarvio {
namespace {

using namespace std::chrono_literals;

constexpr UINT DrainFirstQueueMessage = 0x9239;
constexpr UINT DrainSecondQueueMessage = 0x923A;

// Dispatches this thread's queued messages of one kind; answers how many there were.
int dispatchMessages(UINT message) {
    int count = 0;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, message, message, PM_REMOVE)) {
        DispatchMessageW(&msg);
        ++count;
    }
    return count;
}

// Dispatches every queued message of this thread in posting order.
void dispatchAllMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&msg);
    }
}

void onOtherThread(const Function<void()>& work) {
    std::thread([work] { work(); }).join();
}

class MainThreadDispatcherTest : public testing::Test {
protected:
    void SetUp() override { createHiddenWindow(); }

    void TearDown() override {
        dispatchAllMessages();
        destroyHiddenWindow();
    }

    // A task that records its name and whether it ran on the main thread.
    Function<void()> recorder(const std::string& name) {
        return [this, name] {
            mRuns.push_back(name);
            mOnMainThread = mOnMainThread && GetCurrentThreadId() == mMainThreadId;
        };
    }

    const DWORD mMainThreadId = GetCurrentThreadId();
    std::vector<std::string> mRuns;
    bool mOnMainThread = true;
};

TEST_F(MainThreadDispatcherTest, OnTheMainThreadOutsideADrainOnlyAlwaysQueueWaits) {
    const struct {
        uint32_t flags;
        bool runsAtOnce;
    } cases[] = {
        {0, true},
        {MainThreadPostFlags::SecondQueue, true},
        {MainThreadPostFlags::AlwaysQueue, false},
        {MainThreadPostFlags::AlwaysQueue | MainThreadPostFlags::SecondQueue, false},
    };
    for (const auto& c : cases) {
        mRuns.clear();
        EXPECT_TRUE(postToMainThread(recorder("task"), c.flags)) << c.flags;
        EXPECT_EQ(mRuns.size(), c.runsAtOnce ? 1u : 0u) << c.flags;
        const UINT message =
            (c.flags & MainThreadPostFlags::SecondQueue) != 0 ? DrainSecondQueueMessage : DrainFirstQueueMessage;
        EXPECT_EQ(dispatchMessages(message), c.runsAtOnce ? 0 : 1) << c.flags;
        EXPECT_EQ(mRuns.size(), 1u) << c.flags;
    }
}

TEST_F(MainThreadDispatcherTest, FirstQueuePostsFromAnotherThreadShareOneWakeUpAndRunInOrder) {
    onOtherThread([this] {
        for (const char* name : {"one", "two", "three"}) {
            EXPECT_TRUE(postToMainThread(recorder(name)));
        }
    });
    EXPECT_TRUE(mRuns.empty());
    EXPECT_EQ(dispatchMessages(DrainFirstQueueMessage), 1);
    EXPECT_EQ(mRuns, (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_TRUE(mOnMainThread);
}

TEST_F(MainThreadDispatcherTest, SecondQueuePostsEachWakeAndTheFirstDrainTakesAll) {
    onOtherThread([this] {
        for (const char* name : {"one", "two", "three"}) {
            EXPECT_TRUE(postToMainThread(recorder(name), MainThreadPostFlags::SecondQueue));
        }
    });
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, DrainSecondQueueMessage, DrainSecondQueueMessage, PM_REMOVE));
    DispatchMessageW(&msg);
    EXPECT_EQ(mRuns, (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(dispatchMessages(DrainSecondQueueMessage), 2);
    EXPECT_EQ(mRuns.size(), 3u);
    EXPECT_TRUE(mOnMainThread);
}

TEST_F(MainThreadDispatcherTest, BothQueuesRunInTheOrderTheirWakeUpsWerePosted) {
    onOtherThread([this] {
        postToMainThread(recorder("first 1"));
        postToMainThread(recorder("second 1"), MainThreadPostFlags::SecondQueue);
        postToMainThread(recorder("first 2"));
        postToMainThread(recorder("second 2"), MainThreadPostFlags::SecondQueue);
    });
    dispatchAllMessages();
    EXPECT_EQ(mRuns, (std::vector<std::string>{"first 1", "first 2", "second 1", "second 2"}));
    EXPECT_TRUE(mOnMainThread);
}

TEST_F(MainThreadDispatcherTest, InsideAFirstQueueTaskFirstQueuePostsWaitAndSecondQueuePostsRun) {
    const Function<void()> outer = [this] {
        mRuns.push_back("outer");
        postToMainThread(recorder("queued behind"));
        postToMainThread(recorder("second at once"), MainThreadPostFlags::SecondQueue);

        // A nested message loop does not drain inside this task, and leaves no wake-up behind.
        MSG msg;
        EXPECT_TRUE(PeekMessageW(&msg, nullptr, DrainFirstQueueMessage, DrainFirstQueueMessage, PM_REMOVE));
        DispatchMessageW(&msg);
        EXPECT_FALSE(PeekMessageW(&msg, nullptr, DrainFirstQueueMessage, DrainFirstQueueMessage, PM_NOREMOVE));
        mRuns.push_back("outer end");
    };
    onOtherThread([&outer] { postToMainThread(outer); });

    EXPECT_EQ(dispatchMessages(DrainFirstQueueMessage), 1); // the outer drain took the task behind
    EXPECT_EQ(mRuns, (std::vector<std::string>{"outer", "second at once", "outer end", "queued behind"}));
}

TEST_F(MainThreadDispatcherTest, AnOwnerServingInsideAFirstQueueTaskGetsBackWhileAFirstQueueWakeUpIsPending) {
    // As a standby thread's owner waits there for its task, which may wait for the second queue.
    const Testing::Watchdog watchdog(30s, "serving the main thread inside a first-queue task");
    bool served = false;
    const Function<void()> owner = [&] {
        onOtherThread([this] {
            postToMainThread(recorder("queued behind"));
            postToMainThread(recorder("second queue"), MainThreadPostFlags::SecondQueue);
        });
        serveMainThreadTasks();
        served = true;
    };
    onOtherThread([&owner] { postToMainThread(owner); });
    dispatchMessages(DrainFirstQueueMessage);
    EXPECT_TRUE(served);
    EXPECT_EQ(mRuns, (std::vector<std::string>{"second queue", "queued behind"}));
}

TEST_F(MainThreadDispatcherTest, ATaskBehindAWakeUpDroppedInANestedLoopRunsAlthoughTheOuterTaskFails) {
    Detail::overrideDebugOutput(
        true, [] { return Detail::DebugClockTime{1, 2, 3}; }, [](const wchar_t*) {});
    const Function<void()> outer = [this] {
        onOtherThread([this] { postToMainThread(recorder("behind")); });
        dispatchMessages(DrainFirstQueueMessage);
        throwException(String("outer broke"));
    };
    onOtherThread([&outer] { postToMainThread(outer); });
    EXPECT_EQ(dispatchMessages(DrainFirstQueueMessage), 2); // the wake-up, then the one the failure left
    Detail::restoreDebugOutput();
    EXPECT_EQ(mRuns, std::vector<std::string>{"behind"});
}

TEST_F(MainThreadDispatcherTest, AFailingTaskLeavesTheDrainAndTheTasksBehindItRunAtTheNextWakeUp) {
    std::vector<std::wstring> debugLines;
    Detail::overrideDebugOutput(
        true, [] { return Detail::DebugClockTime{1, 2, 3}; },
        [&debugLines](const wchar_t* line) { debugLines.push_back(line); });

    onOtherThread([this] {
        postToMainThread(recorder("before"));
        postToMainThread([] { throwException(String("task broke")); });
        postToMainThread(recorder("after 1"));
        postToMainThread(recorder("after 2"));
    });
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, DrainFirstQueueMessage, DrainFirstQueueMessage, PM_REMOVE));
    DispatchMessageW(&msg);
    EXPECT_EQ(mRuns, std::vector<std::string>{"before"});

    // No drain is active any more: a main-thread post runs at once.
    postToMainThread(recorder("at once"));
    EXPECT_EQ(mRuns.size(), 2u);

    EXPECT_EQ(dispatchMessages(DrainFirstQueueMessage), 1);
    EXPECT_EQ(mRuns, (std::vector<std::string>{"before", "at once", "after 1", "after 2"}));
    Detail::restoreDebugOutput();
    ASSERT_EQ(debugLines.size(), 1u);
    EXPECT_EQ(debugLines[0], L"#TARVIO (1:2:3)  A task posted to the main thread failed: task broke\n");
}

TEST(MainThreadDispatcherDeathTest, OutOfMemoryInATaskEndsTheProcessInsteadOfPassingForItsFailure) {
    const Function<void()> starvedTasks[] = {
        [] { HeapAllocator::failAllocation(64); },
        [] { throw std::bad_alloc(); }, // as the standard library's own allocations fail
    };
    for (const Function<void()>& starved : starvedTasks) {
        EXPECT_DEATH(
            {
                createHiddenWindow();
                postToMainThread(starved, MainThreadPostFlags::AlwaysQueue);
                dispatchMessages(DrainFirstQueueMessage);
            },
            "");
    }
}

TEST(MainThreadDispatcherWithoutWindowTest, PostsFailUntilTheWindowExistsThenWakeAgain) {
    std::vector<std::string> runs;
    const Function<void()> first = [&runs] { runs.push_back("first"); };
    const Function<void()> second = [&runs] { runs.push_back("second"); };

    bool firstPosted = true;
    bool secondQueuePosted = true;
    onOtherThread([&] {
        firstPosted = postToMainThread(first);
        secondQueuePosted = postToMainThread(first, MainThreadPostFlags::SecondQueue);
    });
    EXPECT_FALSE(firstPosted);
    EXPECT_FALSE(secondQueuePosted);
    EXPECT_TRUE(runs.empty());

    createHiddenWindow();
    bool secondPosted = false;
    onOtherThread([&] { secondPosted = postToMainThread(second); });
    // The earlier post failed, so this one wakes the main thread although the queue was not empty.
    EXPECT_TRUE(secondPosted);
    EXPECT_EQ(dispatchMessages(DrainFirstQueueMessage), 1);
    EXPECT_EQ(runs, (std::vector<std::string>{"first", "second"}));

    // The second queue's task waits for its own next wake-up.
    onOtherThread([&] { postToMainThread(second, MainThreadPostFlags::SecondQueue); });
    dispatchAllMessages();
    EXPECT_EQ(runs, (std::vector<std::string>{"first", "second", "first", "second"}));
    destroyHiddenWindow();
}

} // namespace
} // namespace Tarvio
