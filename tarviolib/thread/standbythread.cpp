#include "tarviolib/thread/standbythread.h"

#include "tarviolib/core/exception.h"
#include "tarviolib/core/mutex.h"
#include "tarviolib/core/outofmemory.h"
#include "tarviolib/thread/currentthread.h"
#include "tarviolib/thread/mainthreaddispatcher.h"
#include "tarviolib/thread/threadfailurereport.h"
#include "tarviolib/thread/threadhandle.h"

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace Tarvio {

namespace {

constexpr uint32_t StackReservation = 0x500000;
constexpr auto MainThreadServiceInterval = std::chrono::milliseconds(10);

} // namespace

struct StandbyThread::State : public Noncopyable {
    // Guards everything below but submitLock and thread.
    std::mutex stateMutex;
    // Signalled to the thread: a hand-over or the stop request.
    std::condition_variable wakeCondition;
    // Signalled by the thread: a task was taken or ended, or the thread ended.
    std::condition_variable changedCondition;
    // Serialises run calls and the destructor.
    Mutex submitLock;
    const String name = String("___TARVIO_standbyThread");
    ThreadHandle thread;
    bool started = false;
    Function<void()> task;
    bool background = false;
    bool pending = false;
    bool running = false;
    bool stopRequested = false;
    // The thread ended after a failed task.
    bool ended = false;

    bool idle() const { return ended || (!pending && !running); }

    // Waits on changedCondition until done holds. On the main thread the wait serves the main
    // thread's tasks, which the running task may be waiting for.
    template <typename Predicate>
    void waitUntil(std::unique_lock<std::mutex>& lock, Predicate done) {
        if (!isMainThread()) {
            changedCondition.wait(lock, done);
            return;
        }
        while (!changedCondition.wait_for(lock, MainThreadServiceInterval, done)) {
            lock.unlock();
            serveMainThreadTasks();
            lock.lock();
        }
    }

    void loop() {
        setCurrentThreadName(name);
        enableFlushToZero();
        bool backgroundMode = false;
        std::unique_lock<std::mutex> lock(stateMutex);
        for (;;) {
            // A predicate: a spurious wake-up is not a stop request.
            wakeCondition.wait(lock, [this] { return pending || stopRequested; });
            if (!pending) {
                return;
            }
            const Function<void()> current = task;
            const bool currentBackground = background;
            pending = false;
            running = true;
            changedCondition.notify_all();
            lock.unlock();

            if (currentBackground != backgroundMode) {
                // Result ignored: some systems refuse the background mode.
                SetThreadPriority(GetCurrentThread(),
                                  currentBackground ? THREAD_MODE_BACKGROUND_BEGIN : THREAD_MODE_BACKGROUND_END);
                backgroundMode = currentBackground;
            }
            const bool failed = !runReportingFailure(current);

            lock.lock();
            task = nullptr;
            running = false;
            ended = failed;
            changedCondition.notify_all();
            if (failed) {
                return;
            }
        }
    }

    // False when the task threw; its failure has been reported.
    static bool runReportingFailure(const Function<void()>& current) {
        String failure;
        try {
            current();
            return true;
        } catch (const std::exception& exception) {
            rethrowOutOfMemory(); // no task's failure: it ends the process
            failure = exceptionMessage(exception);
        }
        reportThreadFailure(failure);
        return false;
    }
};

StandbyThread::StandbyThread() : mState(makeUnique<State>()) {}

StandbyThread::~StandbyThread() {
    ScopedLock submit(mState->submitLock);
    if (!mState->started) {
        return;
    }
    {
        std::unique_lock<std::mutex> lock(mState->stateMutex);
        mState->waitUntil(lock, [this] { return mState->idle(); });
        mState->stopRequested = true;
    }
    mState->wakeCondition.notify_all();
    mState->thread.join();
}

void StandbyThread::run(const Function<void()>& task, bool background) {
    ScopedLock submit(mState->submitLock);
    if (!mState->started) {
        State* const state = mState.get();
        mState->thread = ThreadHandle::start(StackReservation, [state] { state->loop(); });
        mState->started = true;
    }
    std::unique_lock<std::mutex> lock(mState->stateMutex);
    mState->waitUntil(lock, [this] { return mState->idle(); });
    if (mState->ended) {
        throwException(String("The standby thread runs no further task after a failed one."));
    }
    mState->task = task;
    mState->background = background;
    mState->pending = true;
    mState->wakeCondition.notify_all();
    mState->waitUntil(lock, [this] { return !mState->pending; });
}

} // namespace Tarvio
