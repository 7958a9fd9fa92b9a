#include "tarviolib/thread/scheduler.h"

#include "tarviolib/core/array.h"
#include "tarviolib/core/enumnametable.h"
#include "tarviolib/core/mutex.h"
#include "tarviolib/core/stopreport.h"
#include "tarviolib/thread/currentthread.h"
#include "tarviolib/thread/scopetimer.h"
#include "tarviolib/thread/threadhandle.h"
#include "tarviolib/winapi/systeminfo.h"

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>

namespace Tarvio {

namespace {

constexpr int32_t LevelCount = 5;
constexpr std::size_t CacheLineSize = 64;
constexpr uint32_t WorkerStackReservation = 0x800000;
constexpr int64_t TimerTimeoutMs = 1000;
constexpr const char* TimerPrefix = "Function call: ";

const EnumNameTable<ThreadPriority, 5> threadPriorityNames({
    {ThreadPriority::Low, L"Low"},
    {ThreadPriority::BelowNormal, L"BelowNormal"},
    {ThreadPriority::Normal, L"Normal"},
    {ThreadPriority::AboveNormal, L"AboveNormal"},
    {ThreadPriority::High, L"High"},
});

const EnumNameTable<TaskPriority, 5> taskPriorityNames({
    {TaskPriority::Low, L"Low"},
    {TaskPriority::BelowNormal, L"BelowNormal"},
    {TaskPriority::Normal, L"Normal"},
    {TaskPriority::AboveNormal, L"AboveNormal"},
    {TaskPriority::High, L"High"},
});

// A ring buffer of tasks with a power-of-two capacity, under its own lock.
class TaskQueue : public Noncopyable {
public:
    Mutex lock;

    bool isEmpty() const { return mCount == 0; }

    void push(const SharedPtr<Task>& task) {
        if (mCount == mSlots.size()) {
            grow();
        }
        mSlots[slot(mHead + mCount)] = task;
        ++mCount;
    }

    SharedPtr<Task> takeOldest() {
        SharedPtr<Task> task = std::move(mSlots[slot(mHead)]);
        mHead = slot(mHead + 1);
        --mCount;
        return task;
    }

    SharedPtr<Task> takeNewest() {
        SharedPtr<Task> task = std::move(mSlots[slot(mHead + mCount - 1)]);
        --mCount;
        return task;
    }

private:
    int32_t slot(int32_t index) const { return index & (mSlots.size() - 1); }

    void grow() {
        Array<SharedPtr<Task>> slots;
        slots.resize(mSlots.isEmpty() ? 16 : mSlots.size() * 2);
        for (int32_t i = 0; i < mCount; ++i) {
            slots[i] = std::move(mSlots[slot(mHead + i)]);
        }
        mSlots = std::move(slots);
        mHead = 0;
    }

    Array<SharedPtr<Task>> mSlots;
    int32_t mHead = 0;
    int32_t mCount = 0;
};

int windowsPriority(ThreadPriority priority) {
    switch (priority) {
    case ThreadPriority::Low:
        return THREAD_PRIORITY_IDLE;
    case ThreadPriority::BelowNormal:
        return THREAD_PRIORITY_BELOW_NORMAL;
    case ThreadPriority::Normal:
        return THREAD_PRIORITY_NORMAL;
    case ThreadPriority::AboveNormal:
        return THREAD_PRIORITY_ABOVE_NORMAL;
    case ThreadPriority::High:
        return THREAD_PRIORITY_HIGHEST;
    }
    throwStop("tarviolib/thread/scheduler", 389);
}

// Deals the workers to the processor groups: worker i goes to the group of the i-th logical
// processor, with its place in that group as ideal processor. Results are not relied on (a zero
// mask is refused by some systems), since work is found by worker index.
void assignProcessorGroups(const Array<HANDLE>& threads) {
    int32_t next = 0;
    while (next < threads.size()) {
        for (WORD group = 0; group < GetActiveProcessorGroupCount() && next < threads.size(); ++group) {
            const int32_t count =
                std::min(static_cast<int32_t>(GetActiveProcessorCount(group)), threads.size() - next);
            for (int32_t k = 0; k < count; ++k, ++next) {
                GROUP_AFFINITY affinity = {};
                affinity.Group = group;
                SetThreadGroupAffinity(threads[next], &affinity, nullptr);
                SetThreadIdealProcessor(threads[next], static_cast<DWORD>(k));
            }
        }
    }
}

} // namespace

String threadPriorityName(ThreadPriority priority) {
    return threadPriorityNames.name(priority);
}

String taskPriorityName(TaskPriority priority) {
    return taskPriorityNames.name(priority);
}

// Each record on cache lines of its own: workers write their own records all the time, and a line
// shared with a neighbour's would bounce between their processors.
struct alignas(CacheLineSize) WorkerRecord : public Object {
    UniquePtr<TaskQueue> localQueues[LevelCount];
    int32_t index = 0;
    SharedPtr<Task> current;
    Scheduler::State* state = nullptr;
};

namespace {
thread_local WorkerRecord* currentWorker = nullptr;
}

struct Scheduler::State : public Noncopyable {
    ThreadPriority threadPriority = ThreadPriority::Normal;
    std::atomic<int64_t> pendingPerLevel[LevelCount] = {};
    std::atomic<int64_t> pendingTotal{0};
    std::mutex mutex;
    std::condition_variable workAvailable;
    std::condition_variable workerWentIdle;
    UniquePtr<TaskQueue> globalQueues[LevelCount];
    int32_t awakeWorkers = -1;
    int32_t activeWorkerLimit = 0;
    std::atomic<bool> stopRequested{false};
    // Filled once, before the workers start: they hold their records' addresses.
    Array<WorkerRecord> workers;
    Array<ThreadHandle> threads;

    State() {
        for (UniquePtr<TaskQueue>& queue : globalQueues) {
            queue = makeUnique<TaskQueue>();
        }
    }

    ~State() {
        for (ThreadHandle& thread : threads) {
            if (thread.joinable()) {
                thread.join();
            }
        }
    }

    void requestStop() {
        std::lock_guard<std::mutex> lock(mutex);
        stopRequested = true;
        workAvailable.notify_all();
    }

    bool hasWork() const { return pendingTotal.load() > 0; }

    static bool take(TaskQueue& queue, bool newest, SharedPtr<Task>& out) {
        ScopedLock lock(queue.lock);
        if (queue.isEmpty()) {
            return false;
        }
        out = newest ? queue.takeNewest() : queue.takeOldest();
        return true;
    }

    bool findTask(WorkerRecord& worker, SharedPtr<Task>& out, int32_t minimumLevel) {
        for (int32_t level = LevelCount - 1; level >= minimumLevel; --level) {
            if (pendingPerLevel[level].load() == 0) {
                continue;
            }
            if (take(*worker.localQueues[level], true, out)) {
                return true;
            }
            for (int32_t k = 1; k < activeWorkerLimit; ++k) {
                WorkerRecord& victim = workers[(k + worker.index) % activeWorkerLimit];
                if (take(*victim.localQueues[level], false, out)) {
                    return true;
                }
            }
            if (take(*globalQueues[level], false, out)) {
                return true;
            }
        }
        return false;
    }

    bool executeTasks(WorkerRecord& worker, int32_t minimumLevel) {
        SharedPtr<Task> found;
        if (!findTask(worker, found, minimumLevel)) {
            return false;
        }
        SharedPtr<Task> saved = std::move(worker.current);
        worker.current = std::move(found);
        pendingPerLevel[worker.current->priority()].fetch_sub(1);
        pendingTotal.fetch_sub(1);
        try {
            for (;;) {
                SharedPtr<Task> continuation = worker.current->run();
                if (!continuation) {
                    break;
                }
                if (continuation.get() != worker.current.get()) {
                    continuation->setParent(worker.current);
                    continuation->setPriority(worker.current->priority());
                    worker.current = std::move(continuation);
                }
            }
        } catch (...) {
            worker.current->captureException(std::current_exception());
        }
        worker.current->complete();
        worker.current = std::move(saved);
        return true;
    }

    void workerLoop(WorkerRecord& worker, const String& name) {
        setCurrentThreadName(name);
        enableFlushToZero();
        // Results ignored: some systems refuse the background mode.
        SetThreadPriority(GetCurrentThread(), THREAD_MODE_BACKGROUND_BEGIN);
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
        currentWorker = &worker;
        while (!stopRequested) {
            {
                std::unique_lock<std::mutex> lock(mutex);
                --awakeWorkers;
                workerWentIdle.notify_one();
                workAvailable.wait(lock, [&] {
                    return stopRequested || (hasWork() && worker.index < activeWorkerLimit);
                });
                ++awakeWorkers;
            }
            while (!stopRequested && hasWork()) {
                executeTasks(worker, 0);
            }
        }
        currentWorker = nullptr;
    }
};

Scheduler::Scheduler(const String& namePrefix, ThreadPriority priority) : mState(makeUnique<State>()) {
    ScopeTimer timer(TimerTimeoutMs, TimerPrefix, "Tarvio::Scheduler::Scheduler");
    const int32_t count = SystemInfo::logicalProcessorCount();
    mState->awakeWorkers = count;
    mState->activeWorkerLimit = count;
    mState->workers.resize(count);
    for (int32_t i = 0; i < count; ++i) {
        WorkerRecord& worker = mState->workers[i];
        for (UniquePtr<TaskQueue>& queue : worker.localQueues) {
            queue = makeUnique<TaskQueue>();
        }
        worker.index = i;
        worker.state = mState.get();
    }
    try {
        Array<HANDLE> handles;
        for (int32_t i = 0; i < count; ++i) {
            State* const state = mState.get();
            WorkerRecord* const worker = &mState->workers[i];
            String name = namePrefix;
            name += "_";
            name += i;
            mState->threads.append(
                ThreadHandle::start(WorkerStackReservation, [state, worker, name] { state->workerLoop(*worker, name); }));
            handles.append(static_cast<HANDLE>(mState->threads[i].nativeHandle()));
        }
        // Every worker has set its own start-up priority before the given one is applied.
        {
            std::unique_lock<std::mutex> lock(mState->mutex);
            mState->workerWentIdle.wait(lock, [this] { return mState->awakeWorkers <= 0; });
        }
        assignProcessorGroups(handles);
        setWorkerThreadsPriority(priority);
    } catch (...) {
        // The state's destruction joins the workers that did start.
        stop();
        throw;
    }
}

Scheduler::~Scheduler() {
    stop();
}

void Scheduler::stop() {
    mState->requestStop();
}

void Scheduler::setWorkerThreadsPriority(ThreadPriority priority) {
    if (priority == mState->threadPriority || mState->threads.isEmpty()) {
        return;
    }
    ScopeTimer timer(TimerTimeoutMs, TimerPrefix, "Tarvio::Scheduler::setWorkerThreadsPriority");
    const int value = windowsPriority(priority);
    for (ThreadHandle& thread : mState->threads) {
        SetThreadPriority(static_cast<HANDLE>(thread.nativeHandle()), value);
    }
    mState->threadPriority = priority;
}

void Scheduler::submit(const SharedPtr<Task>& task) {
    const int32_t level = task->priority();
    if (level < 0 || level >= LevelCount) {
        throwStop("tarviolib/thread/scheduler", 400);
    }
    WorkerRecord* const worker = currentWorker != nullptr && currentWorker->state == mState.get() ? currentWorker : nullptr;
    TaskQueue& queue = worker != nullptr ? *worker->localQueues[level] : *mState->globalQueues[level];
    {
        ScopedLock lock(queue.lock);
        queue.push(task);
    }
    // Counted only once queued: a worker that sees the count finds the task.
    mState->pendingPerLevel[level].fetch_add(1);
    mState->pendingTotal.fetch_add(1);
    std::lock_guard<std::mutex> lock(mState->mutex);
    mState->workAvailable.notify_one();
}

int32_t Scheduler::workerCount() const {
    return mState->threads.size();
}

#ifdef TARVIO_TEST_SEAMS
Scheduler::RecordPlace Scheduler::workerRecordPlace(int32_t index) const {
    return {reinterpret_cast<uintptr_t>(&mState->workers[index]), sizeof(WorkerRecord)};
}
#endif

namespace {
std::atomic<Scheduler*> globalInstance{nullptr};
}

void createGlobalScheduler() {
    globalInstance = new Scheduler(String("_TARVIO_Global_Scheduler_WorkerThread"), ThreadPriority::Normal);
}

void destroyGlobalScheduler() {
    delete globalInstance.exchange(nullptr);
}

Scheduler* globalScheduler() {
    return globalInstance;
}

} // namespace Tarvio
