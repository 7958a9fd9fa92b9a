#pragma once

#include "tarviolib/core/function.h"

#include <cstdint>

namespace Tarvio {

namespace MainThreadPostFlags {
// Never run the task at once, even on the main thread.
constexpr uint32_t AlwaysQueue = 1;
// Use the second queue, which drains even inside a message loop nested in a first-queue task.
constexpr uint32_t SecondQueue = 2;
} // namespace MainThreadPostFlags

// Hands a task to the process's main thread. On the main thread (outside a drain of the first
// queue, unless AlwaysQueue is set) the task runs at once; otherwise it is queued and the hidden
// window is woken, so it runs when the main thread next dispatches messages. False when the
// wake-up could not be posted: the task stays queued.
bool postToMainThread(const Function<void()>& task, uint32_t flags = 0);

// Whether the caller runs on the process's main thread (the one of the static initialisers).
bool isMainThread();

// On the main thread, runs the tasks whose wake-up is pending, as the message loop would. For a
// main thread that must block on another thread which may be waiting for the main thread.
void serveMainThreadTasks();

// Registers the class "TarvioHiddenGlobalWindow" and creates the hidden window on the calling
// thread, which must be the main thread. False when the window could not be created; posts then
// return false.
bool createHiddenWindow();

// Destroys the hidden window and unregisters its class.
void destroyHiddenWindow();

} // namespace Tarvio
