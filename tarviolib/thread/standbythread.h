#pragma once

#include "tarviolib/core/function.h"
#include "tarviolib/core/object.h"
#include "tarviolib/core/uniqueptr.h"

namespace Tarvio {

// One long-lived worker thread that runs the tasks handed to it one at a time, in the order of
// the run calls. The thread starts with the first task and waits between tasks.
//
// A task that throws is reported (reportThreadFailure: the error box once the library is
// started) and the thread ends: it runs no further task, and later run calls throw. Out of
// memory is not a task's failure and ends the process.
//
// Whoever waits here on the main thread (run waiting for the previous task, the destructor for
// the last) keeps serving the main thread's tasks meanwhile, so a task that waits for the main
// thread (a question, a box) cannot deadlock with its owner.
class StandbyThread : public Noncopyable {
public:
    StandbyThread();
    // Waits for the running task to end, then stops and joins the thread.
    ~StandbyThread();

    // Hands the task over and returns once the thread has taken it; background: run it in the
    // system's background processing mode. Throws Exception when the thread cannot be started
    // or has ended after a failed task.
    void run(const Function<void()>& task, bool background);

    struct State;

private:
    UniquePtr<State> mState;
};

} // namespace Tarvio
