// The main window driven in process: the page flow with its captions and buttons for every
// installation type, cancelling with its two questions, a second instance, a failure thrown out of
// the installation, and the window's and the prerequisites dialog's layout at 96, 120 and 144 DPI.
// Each run installs for real, so each test runs in a copy of a clean prefix of its own
// (tests/endtoend/in_clean_prefix.py), whose LogPixels the DPI runs may change.

#include "tarviodeploy/installer/installer.h"
#include "tarviodeploy/installer/plugindescriptor3dsmax.h"
#include "tarviodeploy/installer/ui/mainwindow.h"
#include "tarviodeploy/installer/ui/screens/contentwindow.h"
#include "tarviodeploy/installer/ui/screens/installscreen.h"
#include "tarviodeploy/installer/ui/screens/installtypescreen.h"
#include "tarviodeploy/installer/ui/screens/progressbar.h"
#include "tarviodeploy/installer/ui/screens/welcomescreen.h"
#include "tarviodeploy/installer/ui/wizard.h"
#include "tarviodeploy/shared/ui/coloredtextcontrol.h"
#include "tarviodeploy/shared/ui/deploymentgui.h"
#include "tarviodeploy/shared/ui/installprerequisitesdialog.h"
#include "tarviodeploy/shared/ui/interfaceskins.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/io/filesystem.h"
#include "tarviolib/ui/dialogscript.h"
#include "tarviolib/wx/controls/button.h"
#include "tarviolib/wx/controls/checkbox.h"
#include "tarviolib/wx/controls/screenscaling.h"
#include "tarviolib/wx/controls/statictext.h"
#include "tarviolib/wx/library.h"
#include "tests/support/dpitesting.h"
#include "tests/support/labelglyphs.h"
#include "tests/support/testfiles.h"
#include "tests/support/watchdog.h"
#include "tests/tarviolib/wx/controls/wxtesting.h"
#include "tools/packwriter/packwriter.h"

#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/mstream.h>
#include <wx/sizer.h>
#include <wx/radiobut.h>
#include <wx/snglinst.h>
#include <wx/statbmp.h>

#include "tests/support/addressspacehog.h"
#include "tests/support/libraryenvironment.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <initializer_list>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace Tarvio {
namespace {

using namespace std::chrono_literals;

// A payload with what the pages read, and the pictures given; the components find nothing of
// theirs in it and fail, which is quick and enough for the window.
std::vector<uint8_t> payload(std::vector<PackWriter::Record> pictures = {}) {
    auto text = [](const std::string& content) { return std::vector<uint8_t>(content.begin(), content.end()); };
    pictures.push_back(PackWriter::stored("license.txt", text("The licence.")));
    pictures.push_back(PackWriter::stored("3rd-party-licenses.txt", text("Notices.")));
    return PackWriter::pack(pictures);
}

// The window's state as the user sees it: the page, then each shown button's caption.
struct Seen {
    int32_t page;
    std::vector<std::string> buttons;
    bool operator==(const Seen& other) const { return page == other.page && buttons == other.buttons; }
};

std::ostream& operator<<(std::ostream& stream, const Seen& seen) {
    stream << "page " << seen.page << ":";
    for (const std::string& button : seen.buttons) {
        stream << " " << button;
    }
    return stream;
}

class MainWindowTest : public testing::Test {
protected:
    MainWindowTest()
        : mPack(payload()), mEnvironment(mPack.data(), static_cast<int32_t>(mPack.size())),
          mUi(nullptr, DeploymentUserInterface::Mode::Installer, &mEnvironment),
          mInstaller(&mDescriptor, &mEnvironment, &mUi) {}

    ~MainWindowTest() override {
        if (mWindow != nullptr) {
            mWindow->Destroy();
            waitUntil([this] { return windowGone(); });
        }
    }

    void open() { open(mInstaller); }

    void open(Installer& installer) {
        create(installer);
        mWindow->Show();
    }

    // The window as the entry makes it; mWindow follows it until it is destroyed.
    void create(Installer& installer) { follow(new MainWindow(installer)); }

    void follow(MainWindow* window) {
        mWindow = window;
        mWindow->Bind(wxEVT_DESTROY, [this](wxWindowDestroyEvent& event) {
            if (event.GetEventObject() == mWindow) {
                mWindow = nullptr;
            }
            event.Skip();
        });
    }

    bool windowGone() const { return mWindow == nullptr; }

    // This process's main window as the system shows it: made and shown by runWizard, for instance.
    static MainWindow* shownMainWindow() {
        for (wxWindow* window : wxTopLevelWindows) {
            MainWindow* main = dynamic_cast<MainWindow*>(window);
            if (main != nullptr && IsWindowVisible(main->GetHWND())) {
                return main;
            }
        }
        return nullptr;
    }

    // Lets the main loop's work happen (posted tasks, thread events, idle deletion) until done.
    static void waitUntil(const Function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while (!done()) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the window did not get there";
            processEvents();
            Sleep(10);
        }
    }

    static void processEvents() {
        wxTheApp->Yield(true);
        wxTheApp->ProcessIdle();
    }

    // The buttons in creation order: Back, Next, Cancel.
    std::vector<Wx::Button*> buttons() const {
        std::vector<Wx::Button*> found;
        for (wxWindow* child : mWindow->GetChildren()) {
            if (Wx::Button* button = dynamic_cast<Wx::Button*>(child)) {
                found.push_back(button);
            }
        }
        return found;
    }

    Seen seen() const {
        Seen state{currentPage(), {}};
        for (Wx::Button* button : buttons()) {
            if (button->IsShown()) {
                state.buttons.push_back(std::string(button->GetLabel().utf8_str()));
            }
        }
        return state;
    }

    // The page shown, by its place in the page area's sizer (ScreenId order).
    int32_t currentPage() const {
        ContentWindow* content = contentWindow();
        for (int32_t index = 0; index < static_cast<int32_t>(content->GetSizer()->GetItemCount()); ++index) {
            if (content->GetSizer()->GetItem(index)->GetWindow() == content->currentScreen()) {
                return index;
            }
        }
        return -1;
    }

    ContentWindow* contentWindow() const {
        for (wxWindow* child : mWindow->GetChildren()) {
            if (ContentWindow* content = dynamic_cast<ContentWindow*>(child)) {
                return content;
            }
        }
        return nullptr;
    }

    // The mouse's events on the button, as the platform delivers them, with the message time given: at
    // (2, 2), inside it, or where given in its client coordinates.
    static void mouse(Wx::Button* button, std::initializer_list<wxEventType> types, uint32_t time,
                      const wxPoint& at = wxPoint(2, 2)) {
        for (wxEventType type : types) {
            wxMouseEvent event(type);
            event.SetPosition(at);
            event.SetTimestamp(time);
            event.SetEventObject(button);
            button->ProcessWindowEvent(event);
        }
    }

    // The message time of a new click: a double-click time after the last one, so that it never makes
    // a double-click with it.
    uint32_t clickTime() { return mClock += GetDoubleClickTime(); }

    // A click: pressed and released inside the button.
    void press(const char* label) { mouse(shownButton(label), {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP}, clickTime()); }

    // A double click: a click, then the second press comes as a double click, and its release.
    void doublePress(const char* label) {
        Wx::Button* button = shownButton(label);
        const uint32_t time = clickTime();
        mouse(button, {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP}, time);
        mouse(button, {wxEVT_LEFT_DCLICK, wxEVT_LEFT_UP}, time + 1);
    }

    Wx::Button* shownButton(const char* label) const {
        for (Wx::Button* button : buttons()) {
            if (button->IsShown() && button->GetLabel() == label) {
                return button;
            }
        }
        ADD_FAILURE() << "no button " << label << " shown; " << seen();
        throw std::runtime_error("no such button");
    }

    void acceptLicence() {
        wxWindow* welcome = contentWindow()->GetSizer()->GetItem(static_cast<size_t>(0))->GetWindow();
        static_cast<WelcomeScreen*>(welcome)->acceptance().SetValue(true);
    }

    void choose(InstallType type) {
        wxRadioButton* radio = contentWindow()->installTypeScreen().radioButton(type);
        radio->SetValue(true);
        wxCommandEvent event(wxEVT_RADIOBUTTON, radio->GetId());
        event.SetEventObject(radio);
        event.SetInt(1);
        radio->ProcessWindowEvent(event);
    }

    std::string logText() const {
        return std::string(contentWindow()->installScreen().log().GetValue().utf8_str());
    }

    static int32_t occurrences(const std::string& text, const std::string& part) {
        int32_t count = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) {
            ++count;
        }
        return count;
    }

    // From the licence page to page 3, where the installation starts.
    void startTypicalInstallation() {
        acceptLicence();
        press("Next");
        choose(InstallType::Typical);
        press("Install");
    }

    // On page 3 until only Next is shown: the installation has ended.
    void waitForInstallationEnd() {
        waitUntil([this] { return seen() == Seen{3, {"Next"}}; });
    }

    Testing::Watchdog mWatchdog{120s, "a main-window test"};
    std::vector<uint8_t> mPack;
    DeploymentEnvironment mEnvironment;
    PluginDescriptor3dsMax mDescriptor;
    DeploymentGui mUi;
    Installer mInstaller;
    MainWindow* mWindow = nullptr;
    uint32_t mClock = 0;
};

TEST_F(MainWindowTest, PagesAndButtonsOfEachInstallationType) {
    struct Step {
        const char* press; // nothing: look only
        Seen expected;
    };
    const struct {
        InstallType type;
        std::vector<Step> steps;
    } cases[] = {
        {InstallType::Typical, {{"Next", {1, {"Back", "Install", "Cancel"}}}, {"Install", {3, {"Cancel"}}}}},
        {InstallType::Custom,
         {{"Next", {1, {"Back", "Next", "Cancel"}}}, {"Next", {2, {"Back", "Install", "Cancel"}}},
          {"Back", {1, {"Back", "Next", "Cancel"}}}, {"Next", {2, {"Back", "Install", "Cancel"}}},
          {"Install", {3, {"Cancel"}}}}},
        {InstallType::Unpack, {{"Next", {1, {"Back", "Unpack", "Cancel"}}}, {"Unpack", {3, {"Cancel"}}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.type));
        Installer installer(&mDescriptor, &mEnvironment, &mUi);
        if (c.type == InstallType::Unpack) {
            installer.setUnpackDirectory(Io::Path(L"C:/mainwindow-test/unpacked"));
        }
        open(installer);
        EXPECT_EQ(seen(), (Seen{0, {"Next", "Cancel"}}));
        acceptLicence();
        for (const Step& step : c.steps) {
            press(step.press);
            if (step.expected.page == 1) {
                choose(c.type);
            }
            EXPECT_EQ(seen(), step.expected) << "after " << step.press;
        }
        waitForInstallationEnd();
        const std::string log = logText();
        press("Next");
        EXPECT_EQ(seen(), (Seen{4, {"Back", "Finish"}}));
        // Back shows the log again with only Next; Next returns without running anything again.
        press("Back");
        EXPECT_EQ(seen(), (Seen{3, {"Next"}}));
        press("Next");
        EXPECT_EQ(seen(), (Seen{4, {"Back", "Finish"}}));
        processEvents();
        EXPECT_EQ(logText(), log);
        EXPECT_EQ(occurrences(log, "Installation has been finished"), 1) << log;
        // Finish ends at once, without a question.
        Testing::DialogScript script;
        press("Finish");
        waitUntil([this] { return windowGone(); });
        EXPECT_TRUE(script.shown().isEmpty());
    }
}

TEST_F(MainWindowTest, CaptionOfNextFollowsTheChosenType) {
    open();
    acceptLicence();
    press("Next");
    const std::pair<InstallType, const char*> choices[] = {
        {InstallType::Unpack, "Unpack"}, {InstallType::Custom, "Next"}, {InstallType::Typical, "Install"}};
    for (const auto& [type, caption] : choices) {
        choose(type);
        EXPECT_EQ(seen(), (Seen{1, {"Back", caption, "Cancel"}}));
    }
}

TEST_F(MainWindowTest, APageOrTypeOutsideItsValuesStopsWithItsReport) {
    open();
    const std::pair<Function<void()>, const char*> cases[] = {
        {[this] { mWindow->showScreen(static_cast<ScreenId>(5)); }, "STOP@tarviodeploy/installer/ui/mainwindow(203)"},
        {[this] { mWindow->showScreen(static_cast<ScreenId>(-1)); }, "STOP@tarviodeploy/installer/ui/mainwindow(203)"},
        {[this] { mWindow->updateNextCaption(static_cast<InstallType>(3)); },
         "STOP@tarviodeploy/installer/ui/mainwindow(241)"},
    };
    for (const auto& [call, report] : cases) {
        try {
            call();
            ADD_FAILURE() << "no stop: " << report;
        } catch (const Exception& exception) {
            EXPECT_STREQ(exception.what(), report);
        }
    }
    EXPECT_EQ(seen(), (Seen{0, {"Next", "Cancel"}}));
}

TEST_F(MainWindowTest, CancelAsksFirstAndFinishDoesNot) {
    const String shortQuestion = L"Do you really want to cancel the installation?";
    const String longQuestion =
        L"The installation is currently running. If you cancel now, the system will be left in an inconsistent "
        L"state. Tarvio will not be properly installed and you may have to uninstall it manually. Are you sure "
        L"you want to cancel now?";
    open();
    {
        Testing::DialogScript script;
        script.answerBox(MessageBoxAnswer::No);
        press("Cancel");
        ASSERT_EQ(script.shown().size(), 1);
        EXPECT_EQ(script.shown()[0].caption, String(L"Confirmation"));
        EXPECT_EQ(script.shown()[0].text, shortQuestion);
        EXPECT_EQ(script.shown()[0].kind, MessageBoxKind::Question);
        EXPECT_EQ(script.shown()[0].buttons, MessageBoxButtons::YesNo);
    }
    // No: nothing changed.
    EXPECT_EQ(seen(), (Seen{0, {"Next", "Cancel"}}));

    // During the installation the long question; Yes lets the installation end, with its
    // database written, before the window goes.
    acceptLicence();
    press("Next");
    choose(InstallType::Typical);
    Testing::DialogScript script;
    script.answerBox(MessageBoxAnswer::Yes);
    press("Install");
    press("Cancel");
    ASSERT_EQ(script.shown().size(), 1);
    EXPECT_EQ(script.shown()[0].text, longQuestion);
    waitUntil([this] { return windowGone(); });
    EXPECT_NE(GetFileAttributesW(DeployBase::databasePath().toNative().text()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(MainWindowTest, SecondInstanceIsToldAndNeverShown) {
    wxSingleInstanceChecker first;
    ASSERT_TRUE(first.CreateDefault());
    Testing::DialogScript script;
    // The first thing the loop does, before the window's deletion at idle time.
    bool shownInLoop = true;
    wxTheApp->CallAfter([&] { shownInLoop = shownMainWindow() != nullptr; });
    EXPECT_EQ(runWizard(mInstaller), 0);
    EXPECT_FALSE(shownInLoop);
    ASSERT_EQ(script.shown().size(), 1);
    const String title = L"Tarvio Renderer for 3ds Max 2 Installer";
    EXPECT_EQ(script.shown()[0].caption, title);
    EXPECT_EQ(script.shown()[0].text,
              L"One instance of " + title + L" is already running. Wait for it to finish and try again.");
    EXPECT_EQ(script.shown()[0].kind, MessageBoxKind::Error);
    // The loop ended because the window went, without an installation.
    EXPECT_EQ(GetFileAttributesW(DeployBase::databasePath().toNative().text()), INVALID_FILE_ATTRIBUTES);
}

// The engine's user whose error box, asked from the installing thread, keeps the installation
// waiting until the test lets it go on (or a while has passed, so that a test whose main thread
// waits for the installation fails instead of hanging).
class HoldingUi : public DeploymentGui {
public:
    explicit HoldingUi(DeploymentEnvironment* environment)
        : DeploymentGui(nullptr, Mode::Installer, environment), mHeldFuture(mHeld.get_future()),
          mReleasedFuture(mReleased.get_future()) {}

    void error(const String&) override {
        mHeld.set_value();
        mReleasedFuture.wait_for(20s);
    }

    bool waitUntilHeld() { return mHeldFuture.wait_for(60s) == std::future_status::ready; }
    void release() { mReleased.set_value(); }

private:
    std::promise<void> mHeld;
    std::future<void> mHeldFuture;
    std::promise<void> mReleased;
    std::future<void> mReleasedFuture;
};

// A failure that leaves the main loop while the installation runs: runWizard serves the window until
// the installation task has ended, with the single-instance lock held all the while, and only then
// lets the failure go on to the entry, which then destroys the installer and what it uses.
TEST_F(MainWindowTest, FailureLeavingTheLoopDuringTheInstallationWaitsForItsEnd) {
    // A damaged database: its load, early in the installation, reports through the error box.
    ASSERT_TRUE(Io::createDirectories(DeployBase::databasePath().parent()));
    const std::string damaged = "<Database version=\"1\"><File>";
    Io::Testing::writeBytes(DeployBase::databasePath(), damaged);
    HoldingUi ui(&mEnvironment);
    Installer installer(&mDescriptor, &mEnvironment, &ui);
    // What the wait showed.
    struct {
        bool served = false;
        bool held = false;
        bool windowThere = false;
        bool lockHeld = false;
    } during;
    wxTheApp->CallAfter([this, &during, &ui] {
        follow(shownMainWindow());
        startTypicalInstallation();
        wxTheApp->CallAfter([] { throwException(String("A failure in the main loop.")); });
        // Handled after the failure has left the main loop, while runWizard waits.
        wxTheApp->CallAfter([this, &during, &ui] {
            during.served = true;
            during.held = ui.waitUntilHeld();
            during.windowThere = !windowGone();
            wxSingleInstanceChecker second;
            during.lockHeld = second.CreateDefault() && second.IsAnotherRunning();
            ui.release();
        });
    });
    try {
        runWizard(installer);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& exception) {
        EXPECT_STREQ(exception.what(), "A failure in the main loop.");
    }
    EXPECT_TRUE(during.served) << "the window was not served while the installation ran on";
    EXPECT_TRUE(during.held);
    EXPECT_TRUE(during.windowThere);
    EXPECT_TRUE(during.lockHeld) << "a second installer could have started";
    EXPECT_TRUE(windowGone());
    EXPECT_FALSE(wxIsBusy());
    // The installation ran to its end: the database is written last.
    EXPECT_NE(Io::Testing::readBytes(DeployBase::databasePath()), damaged);
}

// The standby thread cannot be started: the failure leaves the loop, and the window is gone
// before it reaches the entry; nothing was installed, and no busy cursor is left.
TEST_F(MainWindowTest, StandbyThreadThatCannotStartEndsTheWizard) {
    if (sizeof(void*) != 4) {
        GTEST_SKIP() << "the address space of a 64-bit process cannot be filled";
    }
    wxTheApp->CallAfter([this] {
        follow(shownMainWindow());
        acceptLicence();
        press("Next");
        choose(InstallType::Typical);
        // No room for the thread's stack until the failure has left this handler.
        const Testing::AddressSpaceHog hog;
        press("Install");
    });
    try {
        runWizard(mInstaller);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& exception) {
        EXPECT_EQ(std::string(exception.what()).rfind("Cannot start a thread: ", 0), 0u) << exception.what();
    }
    EXPECT_TRUE(windowGone());
    EXPECT_FALSE(wxIsBusy());
    EXPECT_EQ(GetFileAttributesW(DeployBase::databasePath().toNative().text()), INVALID_FILE_ATTRIBUTES);
}

// The next page's Back and Next stand where the buttons just pressed were: a double click moves
// one page, and the installation never starts from the second press of one.
TEST_F(MainWindowTest, DoubleClickOnBackOrNextMovesOnePage) {
    open();
    acceptLicence();
    const struct {
        bool chooseCustom; // on page 1, before the press
        const char* press;
        Seen expected;
    } steps[] = {
        {false, "Next", {1, {"Back", "Install", "Cancel"}}},
        {false, "Back", {0, {"Next", "Cancel"}}},
        {false, "Next", {1, {"Back", "Install", "Cancel"}}},
        {true, "Next", {2, {"Back", "Install", "Cancel"}}},
        {false, "Back", {1, {"Back", "Next", "Cancel"}}},
    };
    for (const auto& step : steps) {
        if (step.chooseCustom) {
            choose(InstallType::Custom);
        }
        doublePress(step.press);
        EXPECT_EQ(seen(), step.expected) << "after a double click on " << step.press;
    }
    processEvents();
    EXPECT_EQ(logText(), "") << "nothing installed";
    // A single click on the page shown starts it.
    choose(InstallType::Typical);
    press("Install");
    EXPECT_EQ(seen(), (Seen{3, {"Cancel"}}));
    waitForInstallationEnd();
}

// At the end of the installation Next stands where the summary's Finish comes. The second press of
// a double-click on it reaches Finish as a plain press (the system makes it a double-click only on
// the first press's window), or, when it came before the first click was handled, the hidden Next as
// a double-click: either way it presses nothing, and the summary stays. A click on Finish a
// double-click time later ends the program.
TEST_F(MainWindowTest, SecondPressOfADoubleClickOnNextLeavesTheSummaryShown) {
    open();
    startTypicalInstallation();
    waitForInstallationEnd();
    const uint32_t limit = GetDoubleClickTime();
    // Just inside the system's double-click rectangle around the first press.
    const wxSize inside(GetSystemMetrics(SM_CXDOUBLECLK) / 2 - 1, -(GetSystemMetrics(SM_CYDOUBLECLK) / 2 - 1));
    const struct {
        const char* what;
        bool onNext; // else on Finish
        wxEventType type;
        uint32_t after; // milliseconds after the first press
        wxSize moved;   // from the first press, on the screen
    } secondPresses[] = {
        {"a press on Finish at once", false, wxEVT_LEFT_DOWN, 0, {0, 0}},
        {"a press on Finish nearly as late and as far as a double-click allows", false, wxEVT_LEFT_DOWN, limit - 1,
         inside},
        {"a double click on the hidden Next", true, wxEVT_LEFT_DCLICK, 1, {0, 0}},
    };
    Testing::DialogScript script;
    for (const auto& second : secondPresses) {
        SCOPED_TRACE(second.what);
        Wx::Button* next = shownButton("Next");
        const uint32_t time = clickTime();
        mouse(next, {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP}, time);
        ASSERT_EQ(seen(), (Seen{4, {"Back", "Finish"}}));
        Wx::Button* target = second.onNext ? next : shownButton("Finish");
        const wxPoint at = target->ScreenToClient(next->ClientToScreen(wxPoint(2, 2)) + second.moved);
        mouse(target, {second.type, wxEVT_LEFT_UP}, time + second.after, at);
        processEvents();
        ASSERT_FALSE(windowGone());
        EXPECT_EQ(seen(), (Seen{4, {"Back", "Finish"}}));
        press("Back");
    }
    const uint32_t time = clickTime();
    mouse(shownButton("Next"), {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP}, time);
    mouse(shownButton("Finish"), {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP}, time + limit);
    waitUntil([this] { return windowGone(); });
    EXPECT_TRUE(script.shown().isEmpty());
}

// ---- Layout at the screen's DPI ----------------------------------------------------------------------------
// Every test whose name ends in "Scaled" checks what the window or dialog shows on the screen it runs
// on, against a {96, 120, 144} table where it has one; ScaledLayoutsHoldAt120And144Dpi runs them
// again at 120 and 144 DPI.

std::vector<uint8_t> pngOf(wxImage image) {
    wxMemoryOutputStream stream;
    EXPECT_TRUE(image.SaveFile(stream, wxBITMAP_TYPE_PNG));
    std::vector<uint8_t> bytes(stream.GetLength());
    stream.CopyTo(bytes.data(), bytes.size());
    return bytes;
}

wxImage filled(int width, int height, const wxColour& colour) {
    wxImage image(width, height);
    image.SetRGB(wxRect(0, 0, width, height), colour.Red(), colour.Green(), colour.Blue());
    return image;
}

const wxColour backgroundColour(90, 60, 30);
constexpr int maskCorner = 10; // the mask's black square at the top left, cut away

// The test payload with the window's pictures: plain 600 x 400 backgrounds, and a white mask
// whose top-left corner is black; and the prerequisites dialog's logo.
std::vector<uint8_t> payloadWithPictures() {
    std::vector<PackWriter::Record> pictures;
    for (int page = 0; page < 5; ++page) {
        pictures.push_back(PackWriter::stored("gui/bg" + std::to_string(page) + ".png",
                                              pngOf(filled(600, 400, backgroundColour))));
    }
    wxImage mask = filled(600, 400, *wxWHITE);
    mask.SetRGB(wxRect(0, 0, maskCorner, maskCorner), 0, 0, 0);
    pictures.push_back(PackWriter::stored("gui/window-mask.png", pngOf(mask)));
    pictures.push_back(PackWriter::stored("gui/Logo.png", pngOf(filled(64, 64, wxColour(39, 147, 255)))));
    return payload(pictures);
}

std::string describe(const wxRect& rect) {
    std::ostringstream text;
    text << rect.x << "," << rect.y << " " << rect.width << "x" << rect.height;
    return text.str();
}

// Where a control is on the screen, as its parent places it. (Under Wine a rich-edit control's own
// screen rectangle starts at its client area, inside its border.)
wxRect screenRect(wxWindow* window) {
    return wxRect(window->GetParent()->ClientToScreen(window->GetPosition()), window->GetSize());
}

// How far right a skinned check box draws: its box, and its label's glyphs. Its window is as wide
// as the platform's check box would be, which is wider than what the skinned one draws, so that
// the windows of a row's boxes overlap where their drawings do not.
int drawnWidth(Wx::CheckBox* box) {
    // The glyphs' edges are blended into the background; what shows is what is at least half lit.
    const int32_t right = Testing::rightmostLit(Testing::drawnPicture(*box, box->GetSize().x * 2), 128);
    return std::max(Wx::scaled(15), right + 1);
}

// What a control takes of the screen: its window, or for a check box what it draws.
wxRect occupied(wxWindow* window) {
    wxRect rect = screenRect(window);
    if (auto* box = dynamic_cast<Wx::CheckBox*>(window)) {
        rect.width = drawnWidth(box);
    }
    return rect;
}

std::string describe(wxWindow* window) {
    return std::string(wxString(window->GetClassInfo()->GetClassName()).utf8_str()) + " '" +
           std::string(window->GetLabel().BeforeFirst('\n').utf8_str()) + "' at " + describe(screenRect(window));
}

// The shown windows under the given one that show no window of their own: the controls the user
// sees. Added to leaves; false when the window shows none.
bool collectLeaves(wxWindow* window, std::vector<wxWindow*>& leaves) {
    bool childShown = false;
    for (wxWindow* child : window->GetChildren()) {
        if (child->IsShown() && !child->IsTopLevel()) {
            childShown = true;
            if (!collectLeaves(child, leaves)) {
                leaves.push_back(child);
            }
        }
    }
    return childShown;
}

std::vector<wxWindow*> leavesOf(wxWindow* window) {
    std::vector<wxWindow*> leaves;
    collectLeaves(window, leaves);
    return leaves;
}

bool isUnder(wxWindow* window, wxWindow* ancestor) {
    for (; window != nullptr; window = window->GetParent()) {
        if (window == ancestor) {
            return true;
        }
    }
    return false;
}

wxSize textExtent(wxWindow* window, const wxFont& font, const wxString& text) {
    wxClientDC dc(window);
    dc.SetFont(font);
    return dc.GetMultiLineTextExtent(text);
}

// Where a control shows text, that it has room for all of it.
void expectTextWhole(wxWindow* control) {
    const wxSize size = control->GetClientSize();
    if (auto* label = dynamic_cast<Wx::StaticText*>(control)) {
        Testing::expectWholeLabel(*label);
        EXPECT_GE(size.y, textExtent(label, label->GetFont(), label->GetLabel()).y) << describe(control);
    } else if (auto* box = dynamic_cast<Wx::CheckBox*>(control)) {
        EXPECT_GE(size.x, drawnWidth(box)) << describe(control);
    } else if (dynamic_cast<wxCheckBox*>(control) != nullptr || dynamic_cast<wxRadioButton*>(control) != nullptr) {
        EXPECT_GE(size.x, control->GetBestSize().x) << describe(control);
    } else if (auto* button = dynamic_cast<Wx::Button*>(control)) {
        // The font the button draws its caption in.
        const wxFont font = Wx::atControlHeight(button->GetFont());
        EXPECT_GE(size.x, textExtent(button, font, button->GetLabel()).x + 2) << describe(control);
    } else if (auto* steps = dynamic_cast<ProgressBar*>(control)) {
        for (const ProgressBar::Step& step : steps->steps()) {
            const wxString name(step.name.text(), step.name.size());
            const wxSize text = textExtent(steps, steps->GetFont(), name);
            EXPECT_GE(step.cell.width, text.x) << name.utf8_str();
            EXPECT_GE(step.cell.height, text.y) << name.utf8_str();
        }
    }
}

// What a person sees of a window: every control inside its area (those of the page area inside
// the page area), no two controls over each other, and each one's text whole.
void expectEveryControlWhole(wxWindow* window, wxWindow* pageArea = nullptr) {
    const std::vector<wxWindow*> leaves = leavesOf(window);
    ASSERT_FALSE(leaves.empty());
    const wxRect windowArea(window->ClientToScreen(wxPoint(0, 0)), window->GetClientSize());
    for (size_t i = 0; i < leaves.size(); ++i) {
        const wxRect rect = occupied(leaves[i]);
        const bool inPage = pageArea != nullptr && isUnder(leaves[i], pageArea);
        const wxRect area = inPage ? screenRect(pageArea) : windowArea;
        EXPECT_TRUE(area.Contains(rect)) << describe(leaves[i]) << " outside " << describe(area);
        for (size_t j = 0; j < i; ++j) {
            EXPECT_FALSE(rect.Intersects(occupied(leaves[j])))
                << describe(leaves[i]) << " over " << describe(leaves[j]) << " (they take " << describe(rect)
                << " and " << describe(occupied(leaves[j])) << ")";
        }
        expectTextWhole(leaves[i]);
    }
}

// The window's measures, the page area's place and the buttons' size, at 96, 120 and 144 DPI: the
// window grows with its fonts; at 96 DPI it is as it always was.
TEST_F(MainWindowTest, WindowMeasuresScaled) {
    const struct {
        wxSize frame;
        wxRect steps;
        wxRect pageArea;
        wxSize button;
    } expected[] = {
        {{600, 400}, {191, 90, 379, 20}, {191, 125, 379, 216}, {62, 24}},
        {{750, 500}, {239, 113, 473, 25}, {239, 157, 473, 269}, {78, 30}},
        {{900, 600}, {287, 135, 568, 30}, {287, 188, 568, 323}, {93, 36}},
    };
    ASSERT_TRUE(Testing::screenIsAsAsked()) << "the screen is at " << Testing::screenDpi() << " DPI";
    const auto& at = expected[Testing::dpiColumn()];
    const std::vector<uint8_t> pack = payloadWithPictures();
    DeploymentEnvironment environment(pack.data(), static_cast<int32_t>(pack.size()));
    Installer installer(&mDescriptor, &environment, &mUi);
    open(installer);
    EXPECT_EQ(mWindow->GetSize(), at.frame);
    const wxPoint origin = mWindow->GetScreenPosition();
    for (wxWindow* child : mWindow->GetChildren()) {
        if (dynamic_cast<ProgressBar*>(child) != nullptr) {
            EXPECT_EQ(wxRect(child->GetScreenPosition() - origin, child->GetSize()), at.steps);
        }
    }
    EXPECT_EQ(wxRect(contentWindow()->GetScreenPosition() - origin, contentWindow()->GetSize()), at.pageArea);
    for (Wx::Button* button : buttons()) {
        if (!button->IsShown()) {
            continue;
        }
        EXPECT_EQ(button->GetSize(), at.button) << std::string(button->GetLabel().utf8_str());
        // The button row sits on the blank row below it.
        EXPECT_EQ(button->GetScreenRect().GetBottom() - origin.y + 1, at.frame.y - Wx::scaled(20));
    }

    // The background covers the whole window, to its last pixel.
    wxBitmap picture(at.frame);
    {
        wxMemoryDC dc(picture);
        dc.SetBackground(*wxBLACK_BRUSH);
        dc.Clear();
        mWindow->draw(dc);
    }
    const wxImage drawn = picture.ConvertToImage();
    for (const wxPoint& point : {wxPoint(0, 0), wxPoint(at.frame.x - 1, at.frame.y - 1)}) {
        EXPECT_EQ(wxColour(drawn.GetRed(point.x, point.y), drawn.GetGreen(point.x, point.y),
                           drawn.GetBlue(point.x, point.y)),
                  backgroundColour)
            << point.x << "," << point.y;
    }

    // The shape is the mask stretched to the window: its corner cut away by the scaled amount.
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(mWindow->GetHWND(), shape), ERROR);
    RECT box;
    GetRgnBox(shape, &box);
    EXPECT_EQ(wxRect(box.left, box.top, box.right - box.left, box.bottom - box.top), wxRect(wxPoint(0, 0), at.frame));
    const int corner = Wx::scaled(maskCorner);
    // (Give or take the stretch's rounding of the corner's edge.)
    EXPECT_FALSE(PtInRegion(shape, corner - 1, corner - 1));
    EXPECT_TRUE(PtInRegion(shape, corner + 1, 0));
    EXPECT_TRUE(PtInRegion(shape, at.frame.x - 1, at.frame.y - 1));
    DeleteObject(shape);
}

// Each page of a Custom installation, with the window's buttons and step indicator: all there,
// apart and whole.
TEST_F(MainWindowTest, EveryPageShowsEveryControlWholeScaled) {
    ASSERT_TRUE(Testing::screenIsAsAsked()) << "the screen is at " << Testing::screenDpi() << " DPI";
    open();
    auto check = [this](int32_t page) {
        SCOPED_TRACE("page " + std::to_string(page) + " at " + std::to_string(Testing::screenDpi()) + " DPI");
        ASSERT_EQ(currentPage(), page);
        processEvents();
        expectEveryControlWhole(mWindow, contentWindow());
    };
    check(0);
    acceptLicence();
    press("Next");
    choose(InstallType::Custom);
    check(1);
    press("Next");
    check(2);
    press("Install");
    waitForInstallationEnd();
    check(3);
    press("Next");
    check(4);
}

// Next, hidden while the installation runs, is shown when it ends and moved into Cancel's place
// before it paints: its window shows its skin's background inside its frame, not the window's own
// grey that the platform erased Cancel's place with.
TEST_F(MainWindowTest, NextShownAtTheEndPaintsItsSkinBackground) {
    open();
    startTypicalInstallation();
    waitForInstallationEnd();
    processEvents();
    Wx::Button* next = shownButton("Next");
    // The paint the main loop would give it.
    next->Update();
    const Testing::Picture painted = Testing::paintedPicture(next);
    const wxSize size = next->GetClientSize();
    const wxColour background = InterfaceSkins::pushButton.colour(Wx::Skin::Background);
    const Testing::Rgb skin{background.Red(), background.Green(), background.Blue()};
    // Inside the frame, at the corners, where the caption does not reach.
    for (const wxPoint at :
         {wxPoint(2, 2), wxPoint(size.x - 3, 2), wxPoint(2, size.y - 3), wxPoint(size.x - 3, size.y - 3)}) {
        EXPECT_EQ(painted.at(at.x, at.y), skin) << "at " << at.x << ", " << at.y;
    }
}

// The dialog as the engine shows it, with its logo and a running application.
TEST_F(MainWindowTest, PrerequisitesDialogShowsEveryControlWholeScaled) {
    ASSERT_TRUE(Testing::screenIsAsAsked()) << "the screen is at " << Testing::screenDpi() << " DPI";
    const std::vector<uint8_t> pack = payloadWithPictures();
    DeploymentEnvironment environment(pack.data(), static_cast<int32_t>(pack.size()));
    DeploymentGui ui(nullptr, DeploymentUserInterface::Mode::Installer, &environment);
    PrerequisiteIssues issues;
    issues[PrerequisiteCategory::RunningApplication].append(L"3ds Max");
    bool checked = false;
    wxTheApp->CallAfter([&] {
        for (wxWindow* window : wxTopLevelWindows) {
            if (InstallPrerequisitesDialog* dialog = dynamic_cast<InstallPrerequisitesDialog*>(window)) {
                processEvents();
                SCOPED_TRACE("at " + std::to_string(Testing::screenDpi()) + " DPI");
                EXPECT_EQ(dialog->GetSize(), Wx::scaleSize(300, 200));
                expectEveryControlWhole(dialog);
                checked = true;
                dialog->EndModal(wxID_ABORT);
            }
        }
    });
    EXPECT_EQ(ui.askAboutPrerequisites(issues), UserResponse::Abort);
    EXPECT_TRUE(checked);
}

TEST_F(MainWindowTest, ScaledLayoutsHoldAt120And144Dpi) {
    if (Testing::screenDpi() != 96) {
        GTEST_SKIP() << "runs from the 96-DPI run only";
    }
    for (const int dpi : {120, 144}) {
        EXPECT_EQ(Testing::runAtDpi(dpi, "MainWindowTest.*Scaled"), 0) << "at " << dpi << " DPI";
    }
}

TEST_F(MainWindowTest, FailureThrownOutOfTheInstallationEndsItAsFailed) {
    // A folder where the install database goes: writing the database at the end throws.
    ASSERT_TRUE(Io::createDirectories(DeployBase::databasePath()));
    open();
    startTypicalInstallation();
    // The window still learns that the installation ended, and the failure is in the log.
    waitForInstallationEnd();
    const std::string log = logText();
    EXPECT_NE(log.find("The installation stopped: "), std::string::npos) << log;
    EXPECT_EQ(log.find("Installation has been finished"), std::string::npos) << log;
    press("Next");
    EXPECT_EQ(seen(), (Seen{4, {"Back", "Finish"}}));
}

} // namespace
} // namespace Tarvio
