#pragma once

#include <cstdint>

#ifdef TARVIO_TEST_SEAMS
#include "tarviolib/core/function.h"
#endif

namespace Tarvio {

// Starts the library as a unit, use-counted; the first call (on the main thread) creates the
// main-thread dispatcher's hidden window, starts GDI+, the global Scheduler and the GUI toolkit
// (TarvioApp, the image handlers, sockets and the idle timer). mode 0 or 1 runs the application
// object's initialisation, 2 does not. Calls are serialised: a concurrent call returns once the
// library is up. When a step fails, the steps before it are undone, the count stays 0 and an
// Exception says what failed (a mode outside 0..2 throws the STOP exception). Answers true.
bool initLibrary(int32_t mode);

// Undoes one initLibrary; the last one stops everything in reverse order (the Scheduler's workers
// are joined before GDI+ and the toolkit stop; the hidden window goes last). A call without a
// matching initLibrary does nothing.
void deinitLibrary();

// Runs the toolkit's main loop on the main thread until it ends (by default when the last
// top-level window has been deleted); answers its exit code.
int32_t runMainLoop();

#ifdef TARVIO_TEST_SEAMS
namespace Testing {

int32_t libraryUseCount();

// Called on the starting thread before each start-up step with its name ("hidden window",
// "GDI+", "scheduler", "toolkit"); throwing from it fails that step. An empty hook removes it.
void setLibraryStartupHook(const Function<void(const char* step)>& hook);

} // namespace Testing
#endif

} // namespace Tarvio
