#pragma once

#include "tarviodeploy/installer/ui/screens/screenid.h"
#include "tarviodeploy/shared/operationresult.h"

#include <wx/scrolwin.h>
#include <wx/sizer.h>

#include <cstdint>

namespace Tarvio {

class Installer;
class InstallScreen;
class InstallTypeScreen;
class ScreenBase;
class SummaryScreen;

// The page area of the main window: holds the five pages in one vertical sizer, in ScreenId
// order, and shows one of them at a time.
class ContentWindow : public wxScrolledWindow {
public:
    // The installer is not owned; the pages read and write it.
    ContentWindow(wxWindow* parent, Installer& installer);

    // Once, after the main window's sizers are in place.
    void createScreens();
    void showScreen(ScreenId id);
    // None before the first showScreen.
    ScreenBase* currentScreen() const { return mCurrentScreen; }
    // Sets the summary's result text and its colour.
    void showResult(OperationResult result);

    InstallTypeScreen& installTypeScreen() const { return *mInstallTypeScreen; }
    // Its logger is what the installation writes to.
    InstallScreen& installScreen() const { return *mInstallScreen; }
    SummaryScreen& summaryScreen() const { return *mSummaryScreen; }

    // The pages never scroll: they are laid out in the area as it is, however much they would
    // need, instead of in a larger virtual area whose overflow nobody could see.
    wxSize GetBestVirtualSize() const override { return GetClientSize(); }

private:
    Installer& mInstaller;
    wxBoxSizer* mSizer;
    ScreenBase* mCurrentScreen = nullptr;
    // By ScreenId.
    ScreenBase* mScreens[screenCount] = {};
    SummaryScreen* mSummaryScreen = nullptr;
    InstallTypeScreen* mInstallTypeScreen = nullptr;
    InstallScreen* mInstallScreen = nullptr;
};

} // namespace Tarvio
