#pragma once

#include "tarviolib/core/object.h"
#include "tarviolib/core/sharedptr.h"
#include "tarviolib/core/string.h"
#include "tarviolib/core/uniqueptr.h"
#include "tarviolib/thread/task.h"

#include <cstddef>
#include <cstdint>

namespace Tarvio {

// Windows thread priorities of the Scheduler's workers.
enum class ThreadPriority : int32_t { Low = -2, BelowNormal = -1, Normal = 0, AboveNormal = 1, High = 2 };

String threadPriorityName(ThreadPriority priority);
String taskPriorityName(TaskPriority priority);

// Work-stealing scheduler: one worker per logical processor, five task levels. A worker takes
// its own newest task first, then the oldest task of another worker, then the oldest of the
// global queue, always from the highest level with pending work.
class Scheduler : public Noncopyable {
public:
    // Starts the workers, named namePrefix + "_" + index. Throws when a worker cannot be started,
    // after stopping and joining the ones that did start.
    Scheduler(const String& namePrefix, ThreadPriority priority);
    // Stops the workers (each finishes the task in hand) and joins them.
    ~Scheduler();

    // Asks the workers to end after the task in hand.
    void stop();
    void setWorkerThreadsPriority(ThreadPriority priority);
    // Queues a task at its level: in the calling worker's own queue on a worker, else globally.
    void submit(const SharedPtr<Task>& task);

    int32_t workerCount() const;

#ifdef TARVIO_TEST_SEAMS
    // Where a worker's record lies.
    struct RecordPlace {
        uintptr_t address;
        size_t size;
    };
    RecordPlace workerRecordPlace(int32_t index) const;
#endif

    struct State;

private:
    UniquePtr<State> mState;
};

// The process-wide instance, from the library's start-up to its shutdown.
void createGlobalScheduler();
void destroyGlobalScheduler();
Scheduler* globalScheduler();

} // namespace Tarvio
