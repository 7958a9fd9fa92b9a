#pragma once

#include "tarviodeploy/installer/ui/screens/screenid.h"
#include "tarviodeploy/shared/operationresult.h"
#include "tarviolib/core/optional.h"
#include "tarviolib/core/uniqueptr.h"
#include "tarviolib/thread/standbythread.h"
#include "tarviolib/winapi/doubleclick.h"
#include "tarviolib/wx/controls/draggablemixin.h"

#include <wx/bitmap.h>
#include <wx/frame.h>

#include <cstdint>

class wxDC;
class wxEventLoopBase;
class wxSingleInstanceChecker;
class wxThreadEvent;

namespace Tarvio {

class ContentWindow;
class Installer;
class ProgressBar;
enum class InstallType : int32_t;

namespace Wx {
class Button;
}

// The installer's only top-level window: a shaped, borderless frame that leads through the five
// pages, runs the installation on its standby thread and ends the program when it goes.
class MainWindow : public Wx::DraggableMixin<wxFrame> {
public:
    explicit MainWindow(Installer& installer);
    ~MainWindow() override;

    // True when another copy of the installer was running: the user has been told, and the
    // window closes without being shown.
    bool anotherInstanceRunning() const { return mAnotherInstanceRunning; }

    void showScreen(ScreenId id);
    void updateNextCaption(InstallType type);
    // What the paint handler draws: the current page's background.
    void draw(wxDC& dc) const;

    // For a failure that has left the main loop: while the installation runs on, the window is
    // served by a loop of its own (a download stops, as on a close), so that it can be deleted at
    // once when this returns.
    void waitForInstallationEnd();

private:
    // A press of the left button on Back, Next or Cancel, before the button sees it.
    void onButtonPress(wxMouseEvent& event, const wxWindow& button);
    void onBack();
    void onNext();
    void onCancel();
    void runInstallation();
    void onInstallationFinished(wxThreadEvent& event);
    void onClose(wxCloseEvent& event);
    // A close or a failure during the installation: nothing is left to cancel.
    void stopAtInstallationEnd();

    void onPaint(wxPaintEvent& event);

    Installer& mInstaller;
    StandbyThread mStandbyThread;
    OperationResult mResult = OperationResult::Done;
    ScreenId mCurrentScreen = ScreenId::welcome;
    // Page changes so far; their count at the last press on a button, and that press: the second
    // press of a double-click whose first press changed the page belongs to the page it left.
    uint32_t mScreenShows = 0;
    uint32_t mPressScreenShow = 0;
    Optional<WinApi::MousePress> mLastPress;
    // By ScreenId.
    wxBitmap mBackgrounds[screenCount];
    UniquePtr<wxSingleInstanceChecker> mSingleInstanceChecker;
    bool mAnotherInstanceRunning = false;
    // Main-thread state of the one installation: running, and whether a close waits for its end.
    bool mInstallationRunning = false;
    bool mCloseWhenFinished = false;
    // The loop of waitForInstallationEnd while it runs.
    wxEventLoopBase* mInstallationEndLoop = nullptr;

    ProgressBar* mProgressBar = nullptr;
    ContentWindow* mContentWindow = nullptr;
    Wx::Button* mBackButton = nullptr;
    Wx::Button* mNextButton = nullptr;
    Wx::Button* mCancelButton = nullptr;
};

} // namespace Tarvio
