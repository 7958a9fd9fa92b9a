#pragma once

#include "tarviolib/core/function.h"
#include "tarviolib/core/sharedptr.h"
#include "tarviolib/thread/task.h"

#include <utility>

namespace Tarvio::Testing {

// Runs a function; answers the continuation it was given.
class FunctionTask : public Task {
public:
    explicit FunctionTask(Function<void()> work, SharedPtr<Task> continuation = SharedPtr<Task>(),
                          TaskPriority priority = TaskPriority::Normal)
        : Task(priority), mWork(std::move(work)), mContinuation(std::move(continuation)) {}

protected:
    SharedPtr<Task> execute() override {
        mWork();
        return mContinuation;
    }

private:
    Function<void()> mWork;
    SharedPtr<Task> mContinuation;
};

} // namespace Tarvio::Testing
