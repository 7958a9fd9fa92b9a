#pragma once

// The pages in a test frame shaped like the main window's page area, over a real Installer with the
// built installer's demo payload, and a description of what a page shows.

// The toolkit's own way of including <windows.h> (which the deployment helpers include), so that
// the system's macros do not rename the toolkit's functions.
#include <wx/msw/wrapwin.h>

#include "tarviodeploy/installer/installer.h"
#include "tarviodeploy/installer/plugindescriptor3dsmax.h"
#include "tarviodeploy/installer/ui/screens/contentwindow.h"
#include "tarviodeploy/installer/ui/screens/screenid.h"
#include "tests/support/deploymenttesting.h"

#include <wx/frame.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Tarvio::Testing {

// The interface colour's name, or its three numbers.
std::string colourName(const wxColour& colour);

// One line per control of the window, depth first in creation order: its kind, its text and, where
// it has its own, its colour. A path browser is one line with its folder as the field shows it.
std::string describeControls(wxWindow* window);

std::vector<uint8_t> demoPayload();


// What the pages are built over; traits as for TARVIO_TEST_SYSTEM ("no-sse41", "pre-windows7",
// "32-bit-windows"), set before the installer and the pages are made and kept for the test.
class ScreensTest : public testing::Test {
protected:
    ScreensTest();
    ~ScreensTest() override;

    void build(const wchar_t* traits = L"");
    wxWindow* screen(ScreenId id) const;
    template <typename Screen>
    Screen& screenAs(ScreenId id) const {
        return *static_cast<Screen*>(screen(id));
    }
    // Let the toolkit handle what the controls queued (text events, thread events of the log).
    static void processEvents();

    TemporaryFolder mFolder{"screens"};
    std::vector<uint8_t> mPack;
    UniquePtr<DeploymentEnvironment> mEnvironment;
    PluginDescriptor3dsMax mDescriptor;
    RecordingUserInterface mUi;
    UniquePtr<Installer> mInstaller;
    wxFrame* mFrame = nullptr;
    ContentWindow* mContent = nullptr;
};

} // namespace Tarvio::Testing
