#include "tarviolib/thread/mainthreaddispatcher.h"

#include "tarviolib/core/debugoutput.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/core/mutex.h"
#include "tarviolib/core/outofmemory.h"

#include <windows.h>

#include <atomic>
#include <exception>
#include <list>
#include <sstream>

namespace Tarvio {

namespace {

constexpr UINT DrainFirstQueueMessage = 0x9239;
constexpr UINT DrainSecondQueueMessage = 0x923A;
constexpr const wchar_t* HiddenWindowClass = L"TarvioHiddenGlobalWindow";

using TaskQueue = std::list<Function<void()>>;

// Built by static initialisation, that is on the process's first thread: the main thread.
struct DispatcherState {
    const DWORD mainThreadId = GetCurrentThreadId();
    const HMODULE moduleHandle = GetModuleHandleW(nullptr);
    Mutex queueMutex;
    // Guarded by queueMutex.
    TaskQueue firstQueue;
    TaskQueue secondQueue;
    bool lastPostFailed = false;
    HWND hiddenWindow = nullptr;
    // Drains of firstQueue active on the main thread's stack; written only there.
    std::atomic<int32_t> firstQueueDepth{0};
};

DispatcherState state;

// Caller holds queueMutex. A missing window fails the post: PostMessageW would take a null
// window for the thread's own queue and report success although no drain would ever follow.
bool postWakeUp(UINT message) {
    return state.hiddenWindow != nullptr && PostMessageW(state.hiddenWindow, message, 0, 0) != FALSE;
}

// Caller holds queueMutex.
bool postFirstQueueWakeUp() {
    const bool posted = postWakeUp(DrainFirstQueueMessage);
    state.lastPostFailed = !posted;
    return posted;
}

// Runs the queue's tasks in posting order, one at a time and with no lock held, including
// tasks appended meanwhile. A task's exception leaves the drain at once.
void processMainThreadQueue(TaskQueue& queue) {
    for (;;) {
        Function<void()> task;
        {
            ScopedLock lock(state.queueMutex);
            if (queue.empty()) {
                return;
            }
            task = queue.front();
            queue.pop_front();
        }
        task();
    }
}

void reportFailedTask(const String& message) {
    std::wostringstream stream;
    stream << L"A task posted to the main thread failed: " << message;
    debugOutput(stream);
}

// Answers whether a task's exception ended the drain. The exception cannot travel on through the
// system's frames around the window procedure (the process would end), so it stops here. Out of
// memory is no failure of one task that the program could go on after: its report is written,
// then it is thrown on into this function's noexcept, which ends the process.
bool drainReportingFailure(TaskQueue& queue) noexcept {
    try {
        processMainThreadQueue(queue);
        return false;
    } catch (const std::exception& exception) {
        reportFailedTask(exceptionMessage(exception));
        rethrowOutOfMemory();
    } catch (...) {
        reportFailedTask(String("unknown exception"));
    }
    return true;
}

class FirstQueueDepthGuard {
public:
    FirstQueueDepthGuard() : mOuterDepth(state.firstQueueDepth.fetch_add(1, std::memory_order_relaxed)) {}
    ~FirstQueueDepthGuard() { state.firstQueueDepth.fetch_sub(1, std::memory_order_relaxed); }
    FirstQueueDepthGuard(const FirstQueueDepthGuard&) = delete;
    FirstQueueDepthGuard& operator=(const FirstQueueDepthGuard&) = delete;

    bool nested() const { return mOuterDepth > 0; }

private:
    int32_t mOuterDepth;
};

LRESULT CALLBACK hiddenWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case DrainFirstQueueMessage: {
        FirstQueueDepthGuard depth;
        // A loop nested in a first-queue task drops the wake-up: the outer drain takes the tasks
        // when that task returns, and it runs until the queue is empty, so none is owed. Posted
        // again, the wake-up would be taken again at once by the same loop, without end.
        if (!depth.nested() && drainReportingFailure(state.firstQueue)) {
            // The failed drain used up the wake-up, and a post that finds tasks queued takes one
            // as pending: without a new one the tasks behind would never run.
            ScopedLock lock(state.queueMutex);
            if (!state.firstQueue.empty()) {
                postFirstQueueWakeUp();
            }
        }
        return 0;
    }
    case DrainSecondQueueMessage:
        drainReportingFailure(state.secondQueue);
        return 0;
    case WM_TIMER:
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

bool postToMainThread(const Function<void()>& task, uint32_t flags) {
    const bool secondQueue = (flags & MainThreadPostFlags::SecondQueue) != 0;
    if (isMainThread() && (flags & MainThreadPostFlags::AlwaysQueue) == 0 &&
        (secondQueue || state.firstQueueDepth.load(std::memory_order_relaxed) == 0)) {
        task();
        return true;
    }

    ScopedLock lock(state.queueMutex);
    if (secondQueue) {
        state.secondQueue.push_back(task);
        return postWakeUp(DrainSecondQueueMessage);
    }
    state.firstQueue.push_back(task);
    if (state.firstQueue.size() > 1 && !state.lastPostFailed) {
        return true; // the wake-up for the earlier tasks is still pending; one drain takes all
    }
    return postFirstQueueWakeUp();
}

bool isMainThread() {
    return GetCurrentThreadId() == state.mainThreadId;
}

void serveMainThreadTasks() {
    HWND window;
    {
        ScopedLock lock(state.queueMutex);
        window = state.hiddenWindow;
    }
    MSG message;
    while (window != nullptr &&
           PeekMessageW(&message, window, DrainFirstQueueMessage, DrainSecondQueueMessage, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
}

bool createHiddenWindow() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = hiddenWindowProc;
    windowClass.hInstance = state.moduleHandle;
    windowClass.lpszClassName = HiddenWindowClass;
    RegisterClassW(&windowClass);

    const HWND window =
        CreateWindowExW(0, HiddenWindowClass, nullptr, 0, 0, 0, 0, 0, nullptr, nullptr, state.moduleHandle, nullptr);
    ScopedLock lock(state.queueMutex);
    state.hiddenWindow = window;
    return window != nullptr;
}

void destroyHiddenWindow() {
    HWND window;
    {
        ScopedLock lock(state.queueMutex);
        window = state.hiddenWindow;
        state.hiddenWindow = nullptr;
    }
    DestroyWindow(window);
    UnregisterClassW(HiddenWindowClass, state.moduleHandle);
}

} // namespace Tarvio
