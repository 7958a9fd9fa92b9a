// The pages' tests run on the library's start-up (the toolkit with its assert handler, which fails
// the test) with an event loop active, so that the controls' queued events can be handled between
// the steps of a test. A box that a test fails to script ends the run instead of holding it.

#include "tarviolib/wx/library.h"
#include "tests/support/watchdog.h"

#include <wx/evtloop.h>

#include <gtest/gtest.h>

#include <chrono>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const Tarvio::Testing::Watchdog watchdog(std::chrono::seconds(100), "the pages' tests");
    Tarvio::initLibrary(1);
    int result;
    {
        wxEventLoop loop;
        wxEventLoopActivator active(&loop);
        result = RUN_ALL_TESTS();
    }
    Tarvio::deinitLibrary();
    return result;
}
