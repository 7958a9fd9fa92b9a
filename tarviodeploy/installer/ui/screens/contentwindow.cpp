#include "tarviodeploy/installer/ui/screens/contentwindow.h"

#include "tarviodeploy/installer/ui/screens/installscreen.h"
#include "tarviodeploy/installer/ui/screens/installtypescreen.h"
#include "tarviodeploy/installer/ui/screens/optionsscreen.h"
#include "tarviodeploy/installer/ui/screens/summaryscreen.h"
#include "tarviodeploy/installer/ui/screens/welcomescreen.h"
#include "tarviodeploy/shared/ui/interfacecolours.h"

#include <wx/sizer.h>

namespace Tarvio {

ContentWindow::ContentWindow(wxWindow* parent, Installer& installer)
    : wxScrolledWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxHSCROLL | wxVSCROLL, wxS("panel")),
      mInstaller(installer),
      mSizer(new wxBoxSizer(wxVERTICAL)) {
    SetSizer(mSizer);
}

void ContentWindow::createScreens() {
    SetBackgroundColour(toWxColour(InterfaceColours::pageBackground));
    SetForegroundColour(toWxColour(InterfaceColours::text));
    mInstallTypeScreen = new InstallTypeScreen(this, mInstaller);
    mInstallScreen = new InstallScreen(this);
    mSummaryScreen = new SummaryScreen(this);
    // The welcome page wraps its heading to the width the content window has now.
    mScreens[screenIndex(ScreenId::welcome)] = new WelcomeScreen(this, mInstaller);
    mScreens[screenIndex(ScreenId::installationType)] = mInstallTypeScreen;
    mScreens[screenIndex(ScreenId::options)] = new OptionsScreen(this, mInstaller);
    mScreens[screenIndex(ScreenId::installation)] = mInstallScreen;
    mScreens[screenIndex(ScreenId::summary)] = mSummaryScreen;
    for (ScreenBase* screen : mScreens) {
        mSizer->Add(screen, 1, wxEXPAND);
    }
}

void ContentWindow::showScreen(ScreenId id) {
    for (ScreenBase* page : mScreens) {
        page->Hide();
    }
    ScreenBase* screen = mScreens[screenIndex(id)];
    screen->Show();
    mSizer->Layout();
    mCurrentScreen = screen;
}

void ContentWindow::showResult(OperationResult result) {
    mSummaryScreen->showResult(result);
}

} // namespace Tarvio
