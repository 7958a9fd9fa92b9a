// The pages' tests run with the toolkit started and an event loop active, so that the controls'
// queued events can be handled between the steps of a test; any toolkit assert fails the test.

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <thread>

namespace {

void failOnAssert(const wxString& file, int line, const wxString& function, const wxString& condition,
                  const wxString& message) {
    ADD_FAILURE() << "toolkit assert at " << file.utf8_str() << ":" << line << " in " << function.utf8_str()
                  << ": " << condition.utf8_str() << " " << message.utf8_str();
}

} // namespace

wxIMPLEMENT_APP_NO_MAIN(wxApp);

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    wxSetAssertHandler(failOnAssert);
    // A box that a test fails to answer must not hold the run for ever.
    std::thread([] {
        Sleep(90 * 1000);
        fprintf(stderr, "time-out: the pages' tests took longer than 90 s\n");
        ExitProcess(3);
    }).detach();
    wxInitializer toolkit;
    if (!toolkit.IsOk()) {
        fprintf(stderr, "the toolkit did not start\n");
        return 1;
    }
    wxEventLoop loop;
    wxEventLoopActivator active(&loop);
    return RUN_ALL_TESTS();
}
