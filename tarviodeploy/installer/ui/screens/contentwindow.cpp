#include "tarviodeploy/installer/ui/screens/contentwindow.h"

#include "tarviodeploy/installer/ui/screens/installscreen.h"
#include "tarviodeploy/installer/ui/screens/installtypescreen.h"
#include "tarviodeploy/shared/ui/interfacecolours.h"
#include "tarviodeploy/installer/ui/screens/optionsscreen.h"
#include "tarviodeploy/installer/ui/screens/summaryscreen.h"
#include "tarviodeploy/installer/ui/screens/welcomescreen.h"

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
    WelcomeScreen* welcome = new WelcomeScreen(this, mInstaller);
    OptionsScreen* options = new OptionsScreen(this, mInstaller);
    for (wxWindow* screen : {static_cast<wxWindow*>(welcome), static_cast<wxWindow*>(mInstallTypeScreen),
                             static_cast<wxWindow*>(options), static_cast<wxWindow*>(mInstallScreen),
                             static_cast<wxWindow*>(mSummaryScreen)}) {
        mSizer->Add(screen, 1, wxEXPAND);
    }
}

void ContentWindow::showScreen(int32_t index) {
    for (wxSizerItem* item : mSizer->GetChildren()) {
        item->GetWindow()->Hide();
    }
    ScreenBase* screen = static_cast<ScreenBase*>(mSizer->GetItem(static_cast<size_t>(index))->GetWindow());
    screen->Show();
    mSizer->Layout();
    mCurrentScreen = screen;
}

void ContentWindow::showResult(OperationResult result) {
    mSummaryScreen->showResult(result);
}

} // namespace Tarvio
