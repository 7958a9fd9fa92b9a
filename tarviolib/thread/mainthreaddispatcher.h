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

// Registers the class "TarvioHiddenGlobalWindow" and creates the hidden window on the calling
// thread, which must be the main thread. Failures are not reported; posts then return false.
void createHiddenWindow();

// Destroys the hidden window and unregisters its class.
void destroyHiddenWindow();

} // namespace Tarvio
