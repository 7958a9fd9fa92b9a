#include "tarviodeploy/installer/ui/mainwindow.h"

#include "tarviodeploy/installer/additionalinstallerdata.h"
#include "tarviodeploy/installer/installer.h"
#include "tarviodeploy/installer/ui/installerguiandfilelogger.h"
#include "tarviodeploy/installer/ui/screens/contentwindow.h"
#include "tarviodeploy/installer/ui/screens/installscreen.h"
#include "tarviodeploy/installer/ui/screens/installtypescreen.h"
#include "tarviodeploy/installer/ui/screens/progressbar.h"
#include "tarviodeploy/installer/ui/screens/screenbase.h"
#include "tarviodeploy/shared/ui/frameicon.h"
#include "tarviolib/core/badalloc.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/core/stopreport.h"
#include "tarviolib/image/wximageconversion.h"
#include "tarviolib/ui/guiutils.h"
#include "tarviolib/wx/controls/button.h"
#include "tarviolib/wx/controls/screenscaling.h"

#include <wx/dcclient.h>
#include <wx/log.h>
#include <wx/region.h>
#include <wx/sizer.h>
#include <wx/snglinst.h>
#include <wx/utils.h>

namespace Tarvio {

namespace {

constexpr int32_t screenCount = 5;

// Dark text on orange-red.
const Wx::Skin buttonSkin = {{{30, 30, 30}, {110, 110, 110}, {230, 80, 42}, {37, 37, 37}, {0, 0, 0}, {39, 147, 255},
                              {0, 73, 112}, {81, 167, 241}}};

String windowTitle(const Installer& installer) {
    return installer.descriptor().name() + L" " + installer.descriptor().version() + L" Installer";
}

// A payload picture for the toolkit. One that is missing or cannot be decoded gives an empty
// bitmap: the window then goes without that background or its shape, not without the installer.
wxBitmap loadBitmap(const Installer& installer, const String& path) {
    try {
        const Result<Image> image = installer.environment().loadImage(Io::Path(path));
        if (image.ok()) {
            return wxBitmap(toWxImage(image.value()));
        }
    } catch (const Exception&) {
    }
    return wxBitmap();
}

} // namespace

MainWindow::MainWindow(Installer& installer)
    : DraggableMixin(nullptr, wxID_ANY, windowTitle(installer).text(), wxDefaultPosition, wxSize(600, 400),
              wxBORDER_NONE | wxFRAME_SHAPED, "frame"),
      mInstaller(installer), mSingleInstanceChecker(makeUnique<wxSingleInstanceChecker>()) {
    const String title = windowTitle(installer);
    if (mSingleInstanceChecker->CreateDefault() && mSingleInstanceChecker->IsAnotherRunning()) {
        mAnotherInstanceRunning = true;
        showMessageBox(nullptr, title,
                       "One instance of " + title + " is already running. Wait for it to finish and try again.",
                       MessageBoxKind::Error, MessageBoxButtons::Ok);
        Close();
    }

    wxBitmap mask;
    {
        const wxLogNull quiet;
        for (int32_t i = 0; i < screenCount; ++i) {
            mBackgrounds[i] = loadBitmap(installer, L"gui/bg" + toString(i) + L".png");
        }
        mask = loadBitmap(installer, String(L"gui/window-mask.png"));
    }
    setFrameIcon(*this);
    const wxRegion shape = mask.IsOk() ? wxRegion(mask, *wxBLACK, 0) : wxRegion();
    SetShape(shape);
    Centre(wxBOTH);

    const struct {
        Wx::Button** button;
        const wchar_t* label;
        Function<void()> onClick;
    } buttons[] = {{&mBackButton, L"Back", [this] { onBack(); }},
                   {&mNextButton, L"Next", [this] { onNext(); }},
                   {&mCancelButton, L"Cancel", [this] { onCancel(); }}};
    for (const auto& button : buttons) {
        *button.button = new Wx::Button(this, buttonSkin, wxID_ANY, button.label, wxNullBitmap, wxNullBitmap,
                                        button.onClick, Wx::Button::Push, true, 4);
        (*button.button)->SetMinClientSize(Wx::scaleSize(62, 24));
    }
    // The next page's Back and Next stand where this page's were: a double-click moves one page.
    for (Wx::Button* button : {mBackButton, mNextButton}) {
        button->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& event) {
            mPressScreenShow = mScreenShows;
            event.Skip();
        });
    }
    wxBoxSizer* buttonRow = new wxBoxSizer(wxHORIZONTAL);
    buttonRow->Add(mBackButton, 0, wxLEFT, 13);
    buttonRow->AddStretchSpacer(1);
    buttonRow->Add(mNextButton, 0, wxLEFT, 13);
    buttonRow->Add(mCancelButton, 0, wxLEFT, 13);

    mProgressBar = new ProgressBar(this, wxSize(-1, 20));
    Array<String> steps;
    for (const wchar_t* step : {L"Welcome", L"Install Type", L"Options", L"Installation", L"Summary"}) {
        steps.append(step);
    }
    mProgressBar->setSteps(steps);

    wxBoxSizer* pageRow = new wxBoxSizer(wxHORIZONTAL);
    mContentWindow = new ContentWindow(this, installer);
    pageRow->Add(mContentWindow, 1, wxEXPAND);

    wxBoxSizer* column = new wxBoxSizer(wxVERTICAL);
    column->AddSpacer(90);
    column->Add(mProgressBar, 0, wxEXPAND);
    column->AddSpacer(15);
    column->Add(pageRow, 1, wxEXPAND);
    column->AddSpacer(15);
    column->Add(buttonRow, 0, wxEXPAND);
    column->AddSpacer(20);

    wxBoxSizer* outer = new wxBoxSizer(wxHORIZONTAL);
    outer->AddSpacer(191);
    outer->Add(column, 1, wxEXPAND);
    outer->AddSpacer(30);
    SetSizer(outer);
    SetSize(wxSize(600, 400));

    mContentWindow->createScreens();
    mContentWindow->installTypeScreen().setInstallTypeChanged(
        Function<void(InstallType)>([this](InstallType type) { updateNextCaption(type); }));

    Bind(wxEVT_PAINT, &MainWindow::onPaint, this);
    Bind(wxEVT_THREAD, &MainWindow::onInstallationFinished, this);
    Bind(wxEVT_CLOSE_WINDOW, &MainWindow::onClose, this);

    showScreen(mCurrentScreen);
}

MainWindow::~MainWindow() = default;

void MainWindow::showScreen(int32_t index) {
    if (index < 0 || index >= screenCount) {
        throwStop("tarviodeploy/installer/ui/mainwindow", 203);
    }
    const bool goingBack = mCurrentScreen >= index;
    if (index != mCurrentScreen && !mContentWindow->currentScreen()->canLeave(goingBack)) {
        return;
    }
    mBackButton->Show();
    mNextButton->Show();
    mCancelButton->Show();
    mBackButton->SetLabel(L"Back");
    mNextButton->SetLabel(L"Next");
    mCancelButton->SetLabel(L"Cancel");
    switch (index) {
    case 0:
        mBackButton->Hide();
        break;
    case 1:
        updateNextCaption(mInstaller.installType());
        break;
    case 2:
        mNextButton->SetLabel(L"Install");
        break;
    case 3:
        mBackButton->Hide();
        if (mCurrentScreen == 4) {
            // Back from the summary shows the log again; the installation ran once already.
            mCancelButton->Hide();
        } else {
            mNextButton->Hide();
            mInstallationRunning = true;
            wxBeginBusyCursor();
            try {
                mStandbyThread.run(Function<void()>([this] { runInstallation(); }), false);
            } catch (...) {
                // Nothing runs: no busy cursor over the failure's report.
                mInstallationRunning = false;
                wxEndBusyCursor();
                throw;
            }
        }
        break;
    case 4:
        mContentWindow->showResult(mResult);
        mNextButton->Hide();
        mCancelButton->SetLabel(L"Finish");
        break;
    }
    mCurrentScreen = index;
    ++mScreenShows;
    mContentWindow->showScreen(index);
    mProgressBar->setCurrentStep(index);
    Layout();
    Refresh(true);
}

void MainWindow::updateNextCaption(InstallType type) {
    switch (type) {
    case InstallType::Typical:
        mNextButton->SetLabel(L"Install");
        break;
    case InstallType::Custom:
        mNextButton->SetLabel(L"Next");
        break;
    case InstallType::Unpack:
        mNextButton->SetLabel(L"Unpack");
        break;
    default:
        throwStop("tarviodeploy/installer/ui/mainwindow", 241);
    }
    Layout();
}

void MainWindow::onBack() {
    if (!pressedOnThisScreen()) {
        return;
    }
    showScreen(mCurrentScreen - 1);
}

void MainWindow::onNext() {
    if (!pressedOnThisScreen()) {
        return;
    }
    if (mCurrentScreen == 1 && mInstaller.installType() != InstallType::Custom) {
        showScreen(3);
    } else {
        showScreen(mCurrentScreen + 1);
    }
}

void MainWindow::onCancel() {
    if (mCurrentScreen != 4) {
        const String question =
            mCurrentScreen == 3
                ? L"The installation is currently running. If you cancel now, the system will be left in an "
                  L"inconsistent state. Tarvio will not be properly installed and you may have to uninstall it "
                  L"manually. Are you sure you want to cancel now?"
                : L"Do you really want to cancel the installation?";
        if (showMessageBox(nullptr, L"Confirmation", question, MessageBoxKind::Question, MessageBoxButtons::YesNo) !=
            MessageBoxAnswer::Yes) {
            return;
        }
    }
    cancelDownload();
    Close(true);
}

void MainWindow::runInstallation() {
    // Whatever happens, the window learns that the task has ended.
    struct FinishedEvent {
        MainWindow* window;
        ~FinishedEvent() { window->QueueEvent(new wxThreadEvent(wxEVT_THREAD)); }
    } finished{this};
    InstallerLogger& logger = mContentWindow->installScreen().logger();
    try {
        mResult = mInstaller.runGui(logger);
    } catch (const BadAlloc&) {
        throw;
    } catch (const std::exception& exception) {
        logger.log("The installation stopped: " + exceptionMessage(exception) + "\n", LogLevel::Error);
        mResult = OperationResult::Failed;
    }
}

void MainWindow::onInstallationFinished(wxThreadEvent&) {
    mInstallationRunning = false;
    wxEndBusyCursor();
    if (mCloseWhenFinished) {
        Destroy();
        return;
    }
    mNextButton->Show();
    mCancelButton->Hide();
    Layout();
}

void MainWindow::onClose(wxCloseEvent& event) {
    if (!mInstallationRunning) {
        Destroy();
        return;
    }
    // The running task may still ask the user on this thread and writes the install database at
    // its end: the window stays, the loop runs on, and the window goes when the task has ended.
    cancelDownload();
    mCloseWhenFinished = true;
    mCancelButton->Hide();
    Layout();
    if (event.CanVeto()) {
        event.Veto();
    }
}

void MainWindow::onPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    if (mBackgrounds[mCurrentScreen].IsOk()) {
        dc.DrawBitmap(mBackgrounds[mCurrentScreen], 0, 0, false);
    }
}

} // namespace Tarvio
