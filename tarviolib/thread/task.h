#pragma once

#include "tarviolib/core/object.h"
#include "tarviolib/core/sharedptr.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>

namespace Tarvio {

// The five levels of the Scheduler's queues, lowest first.
enum class TaskPriority : int32_t { Low = 0, BelowNormal = 1, Normal = 2, AboveNormal = 3, High = 4 };

// A unit of work for the Scheduler. execute does the work and answers the task's continuation
// (empty when none); a continuation runs in the same worker, and its parent completes with it.
class Task : public Polymorphic {
public:
    explicit Task(TaskPriority priority = TaskPriority::Normal);

    // Runs the task once unless it was cancelled; answers its continuation.
    SharedPtr<Task> run();
    // One completion; the last one completes the parent too and wakes the waiters.
    void complete();
    // Records the task's failure, and as the parent's child failure when it is the first.
    void captureException(std::exception_ptr exception);

    void setParent(const SharedPtr<Task>& parent);
    void setPriority(int32_t priority);
    int32_t priority() const;

    // A task cancelled before it runs is completed without running.
    void cancel();
    // Waits until the task and its continuations have completed, then rethrows the task's own
    // failure, else the first failure of a continuation.
    void wait();

    bool started() const;

protected:
    virtual SharedPtr<Task> execute() = 0;

private:
    SharedPtr<Task> mParent;
    std::atomic<int32_t> mPendingCount{1};
    std::exception_ptr mException;
    std::exception_ptr mChildException;
    int32_t mPriority;
    bool mStarted = false;
    bool mCancelled = false;
    mutable std::mutex mMutex;
    std::condition_variable mStateChanged;
};

} // namespace Tarvio
