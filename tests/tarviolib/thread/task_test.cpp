#include "tarviolib/thread/task.h"

#include "tarviolib/core/exception.h"
#include "tests/tarviolib/thread/functiontask.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <stdexcept>
#include <thread>

namespace Tarvio {
namespace {

using Testing::FunctionTask;

TEST(Task, CancelledTaskRunsNothingAndStaysUnstarted) {
    bool ran = false;
    const SharedPtr<Task> task = makeShared<FunctionTask>([&] { ran = true; });
    task->cancel();
    EXPECT_FALSE(task->run());
    EXPECT_FALSE(ran);
    EXPECT_FALSE(task->started());
}

TEST(Task, RunAnswersTheContinuation) {
    const SharedPtr<Task> next = makeShared<FunctionTask>([] {});
    const SharedPtr<Task> task = makeShared<FunctionTask>([] {}, next);
    EXPECT_EQ(task->run().get(), next.get());
    EXPECT_TRUE(task->started());
}

TEST(Task, ParentCompletesWithItsLastChildAndWakesItsWaiter) {
    const SharedPtr<Task> parent = makeShared<FunctionTask>([] {});
    const SharedPtr<Task> child = makeShared<FunctionTask>([] {});
    child->setParent(parent);
    // The waiter holds what it uses: left behind when the parent is never woken, it touches
    // nothing of this test.
    const std::shared_ptr<std::promise<void>> woken = std::make_shared<std::promise<void>>();
    std::future<void> wokenFuture = woken->get_future();
    std::thread waiter([parent, woken] {
        parent->wait();
        woken->set_value();
    });
    // Still waiting while the child is not complete; meanwhile the waiter is asleep in wait.
    EXPECT_EQ(wokenFuture.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    child->complete();
    if (wokenFuture.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        waiter.detach();
        FAIL() << "the parent's waiter was not woken by its last child's completion";
    }
    waiter.join();
}

TEST(Task, FirstFailingChildWinsAndOwnFailureComesFirst) {
    const SharedPtr<Task> parent = makeShared<FunctionTask>([] {});
    const SharedPtr<Task> first = makeShared<FunctionTask>([] {});
    const SharedPtr<Task> second = makeShared<FunctionTask>([] {});
    first->setParent(parent);
    second->setParent(parent);
    first->captureException(std::make_exception_ptr(std::runtime_error("first")));
    second->captureException(std::make_exception_ptr(std::runtime_error("second")));
    parent->complete();
    try {
        parent->wait();
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "first");
    }

    const SharedPtr<Task> failing = makeShared<FunctionTask>([] {});
    failing->setParent(parent);
    failing->captureException(std::make_exception_ptr(std::runtime_error("own")));
    failing->complete();
    EXPECT_THROW(failing->wait(), std::runtime_error);
}

} // namespace
} // namespace Tarvio
