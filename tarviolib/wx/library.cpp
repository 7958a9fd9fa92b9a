#include "tarviolib/wx/library.h"

#include "tarviolib/core/array.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/core/function.h"
#include "tarviolib/thread/mainthreaddispatcher.h"
#include "tarviolib/thread/scheduler.h"
#include "tarviolib/thread/threadfailurereport.h"
#include "tarviolib/ui/guiutils.h"
#include "tarviolib/wx/wx.h"

// The toolkit's headers bring windows.h in the order its socket headers need.
#include <wx/app.h>

#include <gdiplus.h>

#include <mutex>

namespace Tarvio {

namespace {

struct LibraryState {
    std::mutex mutex;
    int32_t useCount = 0;
    ULONG_PTR gdiplusToken = 0;
#ifdef TARVIO_TEST_SEAMS
    Function<void(const char*)> startupHook;
#endif
};

LibraryState& library() {
    static LibraryState state;
    return state;
}

void enterStep(const char* step) {
#ifdef TARVIO_TEST_SEAMS
    if (library().startupHook) {
        library().startupHook(step);
    }
#else
    (void)step;
#endif
}

void startHiddenWindow() {
    if (!createHiddenWindow()) {
        destroyHiddenWindow();
        throwException(String("The library cannot create its hidden window (has the session a display?)."));
    }
}

void startGdiplus() {
    const Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&library().gdiplusToken, &input, nullptr) != Gdiplus::Ok) {
        throwException(String("GDI+ could not be started."));
    }
}

void stopGdiplus() {
    Gdiplus::GdiplusShutdown(library().gdiplusToken);
}

// A failed task of the standby thread ends in the error box, shown on the main thread.
void reportFailureInBox(const String& message) {
    showMessageBox(nullptr, String("Error"), message, MessageBoxKind::Error, MessageBoxButtons::Ok);
}

void startUp(int32_t mode) {
    // What is up so far, undone in reverse order when a later step fails.
    Array<Function<void()>> started;
    try {
        enterStep("hidden window");
        startHiddenWindow();
        started.append(destroyHiddenWindow);
        enterStep("GDI+");
        startGdiplus();
        started.append(stopGdiplus);
        enterStep("scheduler");
        createGlobalScheduler();
        started.append(destroyGlobalScheduler);
        enterStep("toolkit");
        Wx::initialize(mode);
    } catch (...) {
        for (int32_t i = started.size() - 1; i >= 0; --i) {
            started[i]();
        }
        throw;
    }
    setThreadFailureReporter(reportFailureInBox);
}

void shutDown() {
    setThreadFailureReporter(nullptr);
    destroyGlobalScheduler();
    stopGdiplus();
    Wx::deinitialize();
    destroyHiddenWindow();
}

} // namespace

bool initLibrary(int32_t mode) {
    std::lock_guard<std::mutex> lock(library().mutex);
    if (library().useCount == 0) {
        if (!isMainThread()) {
            throwException(String("The library must be started on the process's main thread."));
        }
        startUp(mode);
    }
    ++library().useCount;
    return true;
}

void deinitLibrary() {
    std::lock_guard<std::mutex> lock(library().mutex);
    if (library().useCount == 0) {
        return;
    }
    if (--library().useCount == 0) {
        shutDown();
    }
}

int32_t runMainLoop() {
    return wxTheApp->OnRun();
}

#ifdef TARVIO_TEST_SEAMS
namespace Testing {

int32_t libraryUseCount() {
    std::lock_guard<std::mutex> lock(library().mutex);
    return library().useCount;
}

void setLibraryStartupHook(const Function<void(const char* step)>& hook) {
    std::lock_guard<std::mutex> lock(library().mutex);
    library().startupHook = hook;
}

} // namespace Testing
#endif

} // namespace Tarvio
