#include "tarviolib/thread/task.h"

#include "tarviolib/core/exception.h"
#include "tests/tarviolib/thread/functiontask.h"

#include <gtest/gtest.h>

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
    std::thread waiter([&] { parent->wait(); });
    child->complete();
    waiter.join(); // hangs if the parent was not completed
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
