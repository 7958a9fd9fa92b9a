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
#include "tarviodeploy/shared/ui/interfaceskins.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/core/outofmemory.h"
#include "tarviolib/core/stopreport.h"
#include "tarviolib/image/wximageconversion.h"
#include "tarviolib/ui/guiutils.h"
#include "tarviolib/wx/controls/button.h"
#include "tarviolib/wx/controls/screenscaling.h"

#include <wx/dcclient.h>
#include <wx/evtloop.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/region.h>
#include <wx/sizer.h>
#include <wx/snglinst.h>
#include <wx/utils.h>

namespace Tarvio {

namespace {

// The window's measures, written for a 96-DPI screen. They are scaled like the controls' own: the
// fonts grow with the screen's pixels per inch, and the window grows with them, so that every page
// keeps at any DPI the room it has at 96.
constexpr int32_t frameWidth = 600;
constexpr int32_t frameHeight = 400;
constexpr int32_t buttonGap = 13; // left of each button
constexpr int32_t stepIndicatorHeight = 20;
// Blank columns left and right of the content column.
constexpr int32_t blankLeft = 191;
constexpr int32_t blankRight = 30;
// Blank rows above the step indicator, between it and the page area, between the page area and the
// buttons, and below the buttons.
constexpr int32_t blankAboveSteps = 90;
constexpr int32_t blankBelowSteps = 15;
constexpr int32_t blankAboveButtons = 15;
constexpr int32_t blankBelowButtons = 20;

String windowTitle(const Installer& installer) {
    return installer.descriptor().name() + L" " + installer.descriptor().version() + L" Installer";
}

// A payload picture for the toolkit, stretched as the window's measures are scaled (at 96 DPI it
// stays as it is). One that is missing or cannot be decoded gives an empty bitmap: the window then
// goes without that background or its shape, not without the installer.
wxBitmap loadBitmap(const Installer& installer, const String& path, wxImageResizeQuality quality) {
    try {
        const Result<Image> image = installer.environment().loadImage(Io::Path(path));
        if (image.ok()) {
            wxImage picture = toWxImage(image.value());
            const wxSize size = Wx::scaleSize(picture.GetWidth(), picture.GetHeight());
            if (size != picture.GetSize()) {
                picture.Rescale(size.GetWidth(), size.GetHeight(), quality);
            }
            return wxBitmap(picture);
        }
    } catch (const Exception&) {
    }
    return wxBitmap();
}

} // namespace

MainWindow::MainWindow(Installer& installer)
    : DraggableMixin(nullptr, wxID_ANY, windowTitle(installer).text(), wxDefaultPosition,
                      Wx::scaleSize(frameWidth, frameHeight),
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
            mBackgrounds[i] = loadBitmap(installer, L"gui/bg" + toString(i) + L".png", wxIMAGE_QUALITY_HIGH);
        }
        // Stretched without blending, so that its cut-away pixels stay exactly black.
        mask = loadBitmap(installer, String(L"gui/window-mask.png"), wxIMAGE_QUALITY_NEAREST);
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
        *button.button = Wx::Button::push(this, InterfaceSkins::pushButton, button.label, button.onClick);
        (*button.button)->SetMinClientSize(
            Wx::scaleSize(InterfaceSkins::pushButtonWidth, InterfaceSkins::pushButtonHeight));
    }
    // The next page's buttons stand where this page's were (Back and Next where they were, the
    // summary's Finish where Next stood at the end of the installation): a double-click moves one
    // page.
    for (Wx::Button* button : {mBackButton, mNextButton, mCancelButton}) {
        for (const auto& type : {wxEVT_LEFT_DOWN, wxEVT_LEFT_DCLICK}) {
            button->Bind(type, [this, button](wxMouseEvent& event) { onButtonPress(event, *button); });
        }
    }
    wxBoxSizer* buttonRow = new wxBoxSizer(wxHORIZONTAL);
    buttonRow->Add(mBackButton, 0, wxLEFT, Wx::scaled(buttonGap));
    buttonRow->AddStretchSpacer(1);
    buttonRow->Add(mNextButton, 0, wxLEFT, Wx::scaled(buttonGap));
    buttonRow->Add(mCancelButton, 0, wxLEFT, Wx::scaled(buttonGap));

    mProgressBar = new ProgressBar(this, Wx::scaleSize(-1, stepIndicatorHeight));
    Array<String> steps;
    for (const wchar_t* step : {L"Welcome", L"Install Type", L"Options", L"Installation", L"Summary"}) {
        steps.append(step);
    }
    mProgressBar->setSteps(steps);

    wxBoxSizer* pageRow = new wxBoxSizer(wxHORIZONTAL);
    mContentWindow = new ContentWindow(this, installer);
    pageRow->Add(mContentWindow, 1, wxEXPAND);

    wxBoxSizer* column = new wxBoxSizer(wxVERTICAL);
    column->AddSpacer(Wx::scaled(blankAboveSteps));
    column->Add(mProgressBar, 0, wxEXPAND);
    column->AddSpacer(Wx::scaled(blankBelowSteps));
    column->Add(pageRow, 1, wxEXPAND);
    column->AddSpacer(Wx::scaled(blankAboveButtons));
    column->Add(buttonRow, 0, wxEXPAND);
    column->AddSpacer(Wx::scaled(blankBelowButtons));

    wxBoxSizer* outer = new wxBoxSizer(wxHORIZONTAL);
    outer->AddSpacer(Wx::scaled(blankLeft));
    outer->Add(column, 1, wxEXPAND);
    outer->AddSpacer(Wx::scaled(blankRight));
    SetSizer(outer);
    SetSize(Wx::scaleSize(frameWidth, frameHeight));

    mContentWindow->createScreens();
    mContentWindow->installTypeScreen().setInstallTypeChanged(
        Function<void(InstallType)>([this](InstallType type) { updateNextCaption(type); }));

    Bind(wxEVT_PAINT, &MainWindow::onPaint, this);
    Bind(wxEVT_THREAD, &MainWindow::onInstallationFinished, this);
    Bind(wxEVT_CLOSE_WINDOW, &MainWindow::onClose, this);

    showScreen(mCurrentScreen);
}

MainWindow::~MainWindow() = default;

void MainWindow::showScreen(ScreenId id) {
    if (!isScreen(id)) {
        throwStop("tarviodeploy/installer/ui/mainwindow", 203);
    }
    const bool goingBack = screenIndex(mCurrentScreen) >= screenIndex(id);
    if (id != mCurrentScreen && !mContentWindow->currentScreen()->canLeave(goingBack)) {
        return;
    }
    mBackButton->Show();
    mNextButton->Show();
    mCancelButton->Show();
    mBackButton->SetLabel(L"Back");
    mNextButton->SetLabel(L"Next");
    mCancelButton->SetLabel(L"Cancel");
    switch (id) {
    case ScreenId::welcome:
        mBackButton->Hide();
        break;
    case ScreenId::installationType:
        updateNextCaption(mInstaller.installType());
        break;
    case ScreenId::options:
        mNextButton->SetLabel(L"Install");
        break;
    case ScreenId::installation:
        mBackButton->Hide();
        if (mCurrentScreen == ScreenId::summary) {
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
    case ScreenId::summary:
        mContentWindow->showResult(mResult);
        mNextButton->Hide();
        mCancelButton->SetLabel(L"Finish");
        break;
    }
    mCurrentScreen = id;
    ++mScreenShows;
    mContentWindow->showScreen(id);
    mProgressBar->setCurrentStep(screenIndex(id));
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

void MainWindow::onButtonPress(wxMouseEvent& event, const wxWindow& button) {
    const wxPoint at = button.ClientToScreen(event.GetPosition());
    const WinApi::MousePress press{static_cast<uint32_t>(event.GetTimestamp()), at.x, at.y};
    // The system makes the second press a double-click only on the window of the first; on another
    // button it comes as a plain press, told apart by its time and place alone.
    const bool continuesPageChange =
        mPressScreenShow != mScreenShows &&
        (event.ButtonDClick() || (mLastPress && WinApi::makesDoubleClick(*mLastPress, press)));
    mPressScreenShow = mScreenShows;
    if (continuesPageChange) {
        // Not passed on: no button is pressed. A third press begins afresh.
        mLastPress.reset();
        return;
    }
    mLastPress = press;
    event.Skip();
}

void MainWindow::onBack() {
    showScreen(screenAfter(mCurrentScreen, -1));
}

void MainWindow::onNext() {
    if (mCurrentScreen == ScreenId::installationType && mInstaller.installType() != InstallType::Custom) {
        showScreen(ScreenId::installation);
    } else {
        showScreen(screenAfter(mCurrentScreen, 1));
    }
}

void MainWindow::onCancel() {
    if (mCurrentScreen != ScreenId::summary) {
        const String question =
            mCurrentScreen == ScreenId::installation
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
    } catch (const std::exception& exception) {
        rethrowOutOfMemory();
        logger.log("The installation stopped: " + exceptionMessage(exception) + "\n", LogLevel::Error);
        mResult = OperationResult::Failed;
    }
}

void MainWindow::onInstallationFinished(wxThreadEvent&) {
    mInstallationRunning = false;
    wxEndBusyCursor();
    if (mInstallationEndLoop != nullptr) {
        // Its caller deletes the window.
        mInstallationEndLoop->Exit();
        return;
    }
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
    stopAtInstallationEnd();
    mCloseWhenFinished = true;
    if (event.CanVeto()) {
        event.Veto();
    }
}

void MainWindow::stopAtInstallationEnd() {
    cancelDownload();
    mCancelButton->Hide();
    Layout();
}

void MainWindow::waitForInstallationEnd() {
    if (!mInstallationRunning) {
        return;
    }
    // As on a close: the task may still ask the user on this thread, and the window's pictures and
    // the single-instance lock must outlast it.
    stopAtInstallationEnd();
    wxGUIEventLoop loop;
    mInstallationEndLoop = &loop;
    const struct Forget {
        MainWindow* window;
        ~Forget() { window->mInstallationEndLoop = nullptr; }
    } forget{this};
    loop.Run();
}

void MainWindow::onPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    draw(dc);
}

void MainWindow::draw(wxDC& dc) const {
    const wxBitmap& background = mBackgrounds[screenIndex(mCurrentScreen)];
    if (background.IsOk()) {
        dc.DrawBitmap(background, 0, 0, false);
    }
}

} // namespace Tarvio
