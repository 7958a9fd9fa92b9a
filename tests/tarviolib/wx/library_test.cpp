#include "tarviolib/wx/library.h"

// The toolkit's headers first: they bring windows.h in the order its socket headers need.
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/image.h>

#include "tarviolib/core/exception.h"
#include "tarviolib/thread/mainthreaddispatcher.h"
#include "tarviolib/thread/scheduler.h"
#include "tarviolib/thread/standbythread.h"
#include "tarviolib/ui/dialogscript.h"
#include "tarviolib/winapi/systeminfo.h"
#include "tests/support/processthreads.h"
#include "tests/support/watchdog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace Tarvio {
namespace {

using namespace std::chrono_literals;

BOOL CALLBACK findOwnHiddenWindow(HWND window, LPARAM result) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (process == GetCurrentProcessId() && std::wstring(name) == L"TarvioHiddenGlobalWindow") {
        *reinterpret_cast<bool*>(result) = true;
        return FALSE;
    }
    return TRUE;
}

// This process's hidden window: other test programs running beside this one have their own.
bool hiddenWindowExists() {
    bool found = false;
    EnumWindows(findOwnHiddenWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::vector<std::string> imageHandlerNames() {
    std::vector<std::string> names;
    for (const wxObject* handler : wxImage::GetHandlers()) {
        names.push_back(static_cast<const wxImageHandler*>(handler)->GetName().ToStdString());
    }
    return names;
}

class LibraryTest : public testing::Test {
protected:
    // The system keeps a thread of its own once a process has made its first window: count from
    // after that.
    static void SetUpTestSuite() {
        initLibrary(1);
        deinitLibrary();
    }

    void TearDown() override {
        Testing::setLibraryStartupHook(nullptr);
        while (Testing::libraryUseCount() > 0) {
            deinitLibrary();
        }
    }

    // Nothing of the library is left: no count, window, toolkit or worker.
    void expectDown() {
        EXPECT_EQ(Testing::libraryUseCount(), 0);
        EXPECT_FALSE(hiddenWindowExists());
        EXPECT_EQ(wxTheApp, nullptr);
        EXPECT_EQ(globalScheduler(), nullptr);
        // The scheduler's workers are gone; the system may keep a thread of its own for a while after
        // the last window went, which is not one of ours.
        EXPECT_LT(Testing::processThreadCountSettlingAt(mThreadsBefore),
                  mThreadsBefore + SystemInfo::logicalProcessorCount());
    }

    const int mThreadsBefore = Testing::processThreadCount();
};

TEST_F(LibraryTest, StartsAndStopsAsAUnitSeveralTimesInOneProcess) {
    const int workers = SystemInfo::logicalProcessorCount();
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(initLibrary(1));
        ASSERT_TRUE(initLibrary(1));
        EXPECT_EQ(Testing::libraryUseCount(), 2);
        EXPECT_TRUE(hiddenWindowExists());
        EXPECT_NE(wxTheApp, nullptr);
        ASSERT_NE(globalScheduler(), nullptr);
        EXPECT_EQ(globalScheduler()->workerCount(), workers);
        EXPECT_GE(Testing::processThreadCount(), mThreadsBefore + workers);
        EXPECT_EQ(imageHandlerNames(),
                  (std::vector<std::string>{"PNG file", "JPEG file", "Windows icon file", "Windows bitmap file",
                                            "GIF file", "TIFF file", "TGA file"}));

        deinitLibrary();
        EXPECT_EQ(Testing::libraryUseCount(), 1);
        EXPECT_TRUE(hiddenWindowExists());
        EXPECT_NE(wxTheApp, nullptr);

        deinitLibrary();
        expectDown();
        EXPECT_TRUE(imageHandlerNames().empty());
    }
}

TEST_F(LibraryTest, UnbalancedDeinitDoesNothing) {
    deinitLibrary();
    EXPECT_EQ(Testing::libraryUseCount(), 0);
    ASSERT_TRUE(initLibrary(2));
    EXPECT_EQ(Testing::libraryUseCount(), 1);
    EXPECT_NE(wxTheApp, nullptr);
    deinitLibrary();
    deinitLibrary();
    expectDown();
}

TEST_F(LibraryTest, ModeOutsideZeroToTwoStopsAndLeavesNothingStarted) {
    for (const int32_t mode : {-1, 3}) {
        SCOPED_TRACE(mode);
        try {
            initLibrary(mode);
            ADD_FAILURE() << "no exception";
        } catch (const Exception& exception) {
            EXPECT_STREQ(exception.what(), "STOP@tarviolib/wx/wx(85)");
        }
        expectDown();
    }
}

TEST_F(LibraryTest, FailedStepUndoesTheStepsBeforeIt) {
    for (const char* failing : {"hidden window", "GDI+", "scheduler", "toolkit"}) {
        SCOPED_TRACE(failing);
        std::vector<std::string> steps;
        Testing::setLibraryStartupHook([&steps, failing](const char* step) {
            steps.push_back(step);
            if (std::string(step) == failing) {
                throwException(String("injected failure"));
            }
        });
        try {
            initLibrary(1);
            ADD_FAILURE() << "no exception";
        } catch (const Exception& exception) {
            EXPECT_STREQ(exception.what(), "injected failure");
        }
        EXPECT_EQ(steps.back(), failing);
        expectDown();
    }
    Testing::setLibraryStartupHook(nullptr);
    ASSERT_TRUE(initLibrary(1));
    EXPECT_TRUE(hiddenWindowExists());
    deinitLibrary();
    expectDown();
}

TEST_F(LibraryTest, ConcurrentCallReturnsOnlyOnceTheLibraryIsUp) {
    std::thread other;
    std::atomic<bool> otherReturned{false};
    bool upWhenOtherReturned = false;
    Testing::setLibraryStartupHook([&](const char* step) {
        if (std::string(step) != "scheduler") {
            return;
        }
        other = std::thread([&] {
            initLibrary(1);
            upWhenOtherReturned = wxTheApp != nullptr && globalScheduler() != nullptr;
            otherReturned = true;
        });
        // Give the other call time to reach the lock while this start-up is half done.
        std::this_thread::sleep_for(100ms);
        EXPECT_FALSE(otherReturned);
    });
    ASSERT_TRUE(initLibrary(1));
    other.join();
    EXPECT_TRUE(upWhenOtherReturned);
    EXPECT_EQ(Testing::libraryUseCount(), 2);
}

TEST_F(LibraryTest, StartingOnAnotherThreadThanTheMainOneIsRefused) {
    std::string error;
    std::thread([&] {
        try {
            initLibrary(1);
        } catch (const Exception& exception) {
            error = exception.what();
        }
    }).join();
    EXPECT_EQ(error, "The library must be started on the process's main thread.");
    expectDown();
}

// The main loop runs tasks posted from other threads and the idle processing every two seconds,
// and ends with 0 when its only window is deleted.
TEST_F(LibraryTest, MainLoopRunsPostedTasksAndTheIdleTimer) {
    const Testing::Watchdog watchdog(60s, "the main loop");
    ASSERT_TRUE(initLibrary(1));
    wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "Main loop test");
    frame->Show();
    std::atomic<int> idleEvents{0};
    std::atomic<bool> counting{false};
    frame->Bind(wxEVT_IDLE, [&](wxIdleEvent& event) {
        if (counting) {
            ++idleEvents;
        }
        event.Skip();
    });

    bool ranInLoop = false;
    bool ranOnMainThread = false;
    int idleEventsSeen = 0;
    std::thread poster([&] {
        postToMainThread([&] {
            ranInLoop = wxEventLoopBase::GetActive() != nullptr;
            ranOnMainThread = isMainThread();
        });
        // Past the idle processing that the posted task itself causes, only the timer wakes
        // the loop: about two ticks in the next 4.5 seconds.
        std::this_thread::sleep_for(500ms);
        counting = true;
        std::this_thread::sleep_for(4500ms);
        postToMainThread([&] {
            idleEventsSeen = idleEvents;
            frame->Destroy();
        });
    });
    EXPECT_EQ(runMainLoop(), 0);
    poster.join();
    EXPECT_TRUE(ranInLoop);
    EXPECT_TRUE(ranOnMainThread);
    EXPECT_GE(idleEventsSeen, 2);
    EXPECT_LE(idleEventsSeen, 6);
}

// An exception thrown by an event handler ends the main loop and comes out of it, without a box of
// the toolkit's (which would wait here for an answer).
TEST_F(LibraryTest, ExceptionFromAnEventHandlerLeavesTheMainLoop) {
    const Testing::Watchdog watchdog(60s, "an exception in the main loop");
    ASSERT_TRUE(initLibrary(1));
    wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "Main loop exception test");
    frame->Show();
    frame->Bind(wxEVT_LEFT_DOWN, [](wxMouseEvent&) { throwException(String("The handler failed.")); });
    // As the platform delivers a click: through the window's procedure.
    PostMessageW(static_cast<HWND>(frame->GetHWND()), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    try {
        runMainLoop();
        ADD_FAILURE() << "the loop ended without the exception";
    } catch (const Exception& exception) {
        EXPECT_STREQ(exception.what(), "The handler failed.");
    }
    delete frame;
}

// With the library up, a task that fails on the standby thread ends in the error box, shown on the
// main thread while the owner waits in the destructor.
TEST_F(LibraryTest, FailedStandbyTaskIsReportedInTheErrorBoxOnTheMainThread) {
    const Testing::Watchdog watchdog(60s, "the standby thread's error box");
    ASSERT_TRUE(initLibrary(1));
    Testing::DialogScript script;
    script.answerBox(MessageBoxAnswer::Ok);
    {
        StandbyThread standby;
        standby.run([] { throwException(String("The task\tfailed.")); }, false);
    }
    const Array<Testing::ShownDialog> shown = script.shown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].caption, String("Error"));
    EXPECT_EQ(shown[0].text, String("The task    failed."));
    EXPECT_EQ(shown[0].kind, MessageBoxKind::Error);
    EXPECT_EQ(shown[0].buttons, MessageBoxButtons::Ok);
    EXPECT_FALSE(shown[0].hasParent);
    EXPECT_TRUE(shown[0].onMainThread);
}

} // namespace
} // namespace Tarvio
