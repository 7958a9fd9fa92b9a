#include "tarviolib/thread/task.h"

namespace Tarvio {

Task::Task(TaskPriority priority) : mPriority(static_cast<int32_t>(priority)) {}

SharedPtr<Task> Task::run() {
    {
        std::lock_guard<std::mutex> lock(mMutex);
        if (mCancelled) {
            return SharedPtr<Task>();
        }
        mStarted = true;
        mStateChanged.notify_all();
    }
    return execute();
}

void Task::complete() {
    if (mPendingCount.fetch_sub(1) - 1 != 0) {
        return;
    }
    // The parent's path before the own lock: no two task locks are ever held together.
    if (mParent) {
        mParent->complete();
    }
    std::lock_guard<std::mutex> lock(mMutex);
    mStateChanged.notify_all();
}

void Task::captureException(std::exception_ptr exception) {
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mException = exception;
    }
    if (mParent) {
        std::lock_guard<std::mutex> lock(mParent->mMutex);
        if (!mParent->mChildException) {
            mParent->mChildException = exception;
        }
    }
}

void Task::setParent(const SharedPtr<Task>& parent) {
    mParent = parent;
}

void Task::setPriority(int32_t priority) {
    mPriority = priority;
}

int32_t Task::priority() const {
    return mPriority;
}

void Task::cancel() {
    std::lock_guard<std::mutex> lock(mMutex);
    mCancelled = true;
}

void Task::wait() {
    std::unique_lock<std::mutex> lock(mMutex);
    mStateChanged.wait(lock, [this] { return mPendingCount.load() <= 0; });
    if (mException) {
        std::rethrow_exception(mException);
    }
    if (mChildException) {
        std::rethrow_exception(mChildException);
    }
}

bool Task::started() const {
    std::lock_guard<std::mutex> lock(mMutex);
    return mStarted;
}

} // namespace Tarvio
