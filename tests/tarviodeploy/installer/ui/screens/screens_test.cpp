#include "tarviodeploy/installer/maxversion.h"
#include "tarviodeploy/installer/servicehosts.h"
#include "tarviodeploy/installer/ui/screens/installscreen.h"
#include "tarviodeploy/installer/ui/screens/installtypescreen.h"
#include "tarviodeploy/installer/ui/screens/optionsscreen.h"
#include "tarviodeploy/installer/ui/screens/pathbrowser.h"
#include "tarviodeploy/installer/ui/screens/summaryscreen.h"
#include "tarviodeploy/installer/ui/screens/welcomescreen.h"
#include "tarviodeploy/installer/ui/installerguiandfilelogger.h"
#include "tarviodeploy/shared/ui/coloredtextcontrol.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/ui/dialogscript.h"
#include "tarviolib/wx/controls/button.h"
#include "tarviolib/wx/controls/checkbox.h"
#include "tarviolib/wx/controls/screenscaling.h"
#include "tarviolib/wx/controls/statictext.h"
#include "tarviolib/wx/controls/textbutton.h"
#include "tarviolib/wx/controls/textcontrol.h"
#include "tests/tarviodeploy/installer/ui/screens/screenstesting.h"
#include "tests/support/labelglyphs.h"
#include "tests/support/scopedenvironmentvariable.h"

#include <wx/checkbox.h>
#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/radiobut.h>

#include <gtest/gtest.h>

#include <string>

namespace Tarvio {
namespace {

using namespace Testing;

const std::string minimalRequirements =
    "Your system does not meet the minimal requirements to run Tarvio Renderer. The installation should finish "
    "successfully, but when you try to run Tarvio you may experience crashes or other problems.";
const std::string sse41Notice =
    "Some components have been disabled because your CPU does not support SSE4.1 instruction set.";

std::string pathText(const Io::Path& path) {
    return utf8Text(path.text());
}

// Every selected flag and folder of the categorised components, in registration order.
std::string describeChoices(const Installer& installer) {
    std::string text;
    installer.forEachCategory(Function<void(ComponentCategory&)>([&](ComponentCategory& category) {
        category.forEachComponent(Function<void(Component&)>([&](Component& component) {
            text += utf8Text(component.name()) + (component.selected() ? " [x] " : " [ ] ") +
                    pathText(component.targetDirectory()) + "\n";
        }));
    }));
    return text;
}

// The user ticking or unticking a skinned check box.
void click(Wx::CheckBox& checkBox) {
    checkBox.SetValue(!checkBox.GetValue());
    wxCommandEvent event(wxEVT_CHECKBOX, checkBox.GetId());
    event.SetEventObject(&checkBox);
    event.SetInt(checkBox.GetValue() ? 1 : 0);
    checkBox.GetEventHandler()->ProcessEvent(event);
}

// The user choosing a radio button.
void choose(wxRadioButton& button) {
    button.SetValue(true);
    wxCommandEvent event(wxEVT_RADIOBUTTON, button.GetId());
    event.SetEventObject(&button);
    event.SetInt(1);
    button.GetEventHandler()->ProcessEvent(event);
}

// The user clicking a skinned button: pressed and released over it.
void pressAndRelease(Wx::Button& button) {
    for (const wxEventType type : {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP}) {
        wxMouseEvent event(type);
        event.SetEventObject(&button);
        event.SetPosition(wxPoint(5, 5));
        button.GetEventHandler()->ProcessEvent(event);
    }
}

template <typename Control>
std::vector<Control*> controlsOf(wxWindow* window) {
    std::vector<Control*> controls;
    for (wxWindow* child : window->GetChildren()) {
        if (auto* control = dynamic_cast<Control*>(child)) {
            controls.push_back(control);
        }
    }
    return controls;
}

TEST_F(ScreensTest, ShowsExactlyOnePageAtATime) {
    build();
    for (int32_t index = 0; index < 5; ++index) {
        mContent->showScreen(static_cast<ScreenId>(index));
        EXPECT_EQ(mContent->currentScreen(), screen(static_cast<ScreenId>(index))) << index;
        for (int32_t other = 0; other < 5; ++other) {
            EXPECT_EQ(screen(static_cast<ScreenId>(other))->IsShown(), other == index) << index << " " << other;
        }
    }
    EXPECT_EQ(utf8Text(screenIdNames.name(ScreenId::installationType)), "installationType");
}

TEST_F(ScreensTest, PagesShowTheirTextsInTheirColours) {
    build();
    std::string licence = utf8Text(readLicenceText(*mEnvironment));
    licence = licence.substr(0, licence.find_first_of("\r\n"));
    const std::string description = utf8Text(mDescriptor.description());
    const std::string maxYears[] = {"2013", "2014", "2015", "2016", "2017", "2018", "2019"};
    std::string maxBoxes;
    for (const std::string& year : maxYears) {
        const bool detected = findMaxInstallDirectory(std::stoi(year)).hasValue();
        maxBoxes += "check '3ds Max " + year + (detected ? "' [x] text\n" : "' [ ] text\n");
    }
    const std::string sideFolder = utf8Text(DeployBase::installRoot().toNative());
    const struct {
        ScreenId page;
        std::string controls;
    } cases[] = {
        {ScreenId::welcome, "text 'Welcome to the Tarvio Renderer for 3ds Max 2 installer.' text\n"
                            "text 'Copyright (c) Kelvane. All rights reserved.' text\n"
                            "text 'To continue, you must agree to the terms of Tarvio EULA:' text\n"
                            "box '" + licence + "' text on licence\n"
                            "check 'I accept the terms and conditions.' [ ]\n"},
        {ScreenId::installationType, "radio 'Typical' [x]\n"
                                     "text '" + description + "' text\n"
                                     "radio 'Custom' [ ]\n"
                                     "text 'Manually choose features to install, and where to install them.' text\n"
                                     "radio 'Unpack files' [ ]\n"
                                     "path '" + utf8Text(mInstaller->unpackDirectory().toNative()) + "'\n"},
        {ScreenId::options, "text 'Please select plugins and utilities to install:' text\n" + maxBoxes +
                            "check 'Material Library' [x] text\n"
                            "check 'DR Server' [x] text\npath '" + sideFolder + "'\n"
                            "check 'Licensing Server' [ ] text\npath '" + sideFolder + "'\n"
                            "check 'Standalone' [x] text\npath '" + sideFolder + "'\n"
                            "check 'Image Editor' [x] text\npath '" + sideFolder + "'\n"},
        {ScreenId::installation, "text 'Hardware and software requirements:' text\n"
                                 "text '64-bit operating system: ' text\ntext 'OK' success\n"
                                 "text 'SSE4.1-enabled CPU: ' text\ntext 'OK' success\n"
                                 "text 'Windows 7 or newer: ' text\ntext 'OK' success\n"
                                 "text 'Your system can run Tarvio.' success\n"
                                 "log text on licence\n"},
        {ScreenId::summary, "box 'Tarvio Renderer was successfully installed on your computer' success on page\n"
                            "text 'You may also be interested in:' text\n"
                            "link 'Tarvio homepage' 230,80,42\n"
                            "link 'Main features' 230,80,42\n"
                            "link 'Facebook page' 230,80,42\n"},
    };
    for (const auto& test : cases) {
        wxWindow* page = screen(test.page);
        EXPECT_EQ(colourName(page->GetBackgroundColour()), "page");
        EXPECT_EQ(colourName(page->GetForegroundColour()), "text");
        EXPECT_EQ(describeControls(page), test.controls) << utf8Text(screenIdNames.name(test.page));
    }
    EXPECT_EQ(colourName(mContent->GetBackgroundColour()), "page");
    EXPECT_TRUE(mUi.messages.empty());
}

TEST_F(ScreensTest, TheWelcomeHeadingFollowsThePageAreasWidth) {
    build();
    Wx::StaticText* heading = controlsOf<Wx::StaticText>(screen(ScreenId::welcome)).front();
    const wxString text = heading->GetLabel();
    ASSERT_FALSE(text.Contains(wxS("\n")));
    // Narrower than the heading: it breaks into lines that fit; wide again: one line.
    const struct {
        int width;
        bool broken;
    } cases[] = {{heading->GetSize().GetWidth() / 2, true}, {379, false}};
    for (const auto& test : cases) {
        mFrame->SetClientSize(test.width, 216);
        processEvents();
        EXPECT_EQ(heading->GetLabel().Contains(wxS("\n")), test.broken) << test.width;
        EXPECT_LE(heading->GetSize().GetWidth(), test.width) << test.width;
        wxString unwrapped = heading->GetLabel();
        unwrapped.Replace(wxS("\n"), wxS(" "));
        EXPECT_EQ(unwrapped, text) << test.width;
    }
}

TEST_F(ScreensTest, RequirementRowsAndVerdictFollowTheSystem) {
    const struct {
        const wchar_t* traits;
        std::string rows;
    } cases[] = {
        {L"no-sse41", "text '64-bit operating system: ' text\ntext 'OK' success\n"
                      "text 'SSE4.1-enabled CPU: ' text\ntext 'NO' warning\n"
                      "text 'Windows 7 or newer: ' text\ntext 'OK' success\n"
                      "text '" + sse41Notice + "' warning\n"},
        {L"pre-windows7", "text '64-bit operating system: ' text\ntext 'OK' success\n"
                          "text 'SSE4.1-enabled CPU: ' text\ntext 'OK' success\n"
                          "text 'Windows 7 or newer: ' text\ntext 'NO' error\n"
                          "text '" + minimalRequirements + "' error\n"},
        {L"32-bit-windows,no-sse41", "text '64-bit operating system: ' text\ntext 'NO' error\n"
                                     "text 'SSE4.1-enabled CPU: ' text\ntext 'NO' warning\n"
                                     "text 'Windows 7 or newer: ' text\ntext 'OK' success\n"
                                     "text '" + minimalRequirements + "' error\n"},
    };
    for (const auto& test : cases) {
        build(test.traits);
        EXPECT_EQ(describeControls(screen(ScreenId::installation)),
                  "text 'Hardware and software requirements:' text\n" + test.rows + "log text on licence\n")
            << utf8Text(test.traits);
        delete mFrame;
        mFrame = nullptr;
    }
}

TEST_F(ScreensTest, SummaryShowsTheResultWithTheMinimalRequirementsSentence) {
    const std::string done = "Tarvio Renderer was successfully installed on your computer\n";
    const std::string warnings = "There were some warnings during the installation. You can go back to the "
                                 "installation screen and inspect the installation log to see them.\n";
    const std::string failed = "There were some errors during the installation. You can go back to the installation "
                               "screen and inspect the installation log to see them.\n";
    const std::string unsupported = "\nYour computer does not meet the minimal requirements for the installation. If "
                                    "you try to run Tarvio, you may experience crashes or other problems.\n";
    const struct {
        const wchar_t* traits;
        OperationResult result;
        std::string text;
        std::string colour;
    } cases[] = {
        {L"", OperationResult::Done, done, "success"},
        {L"", OperationResult::Warnings, warnings, "warning"},
        {L"", OperationResult::Failed, failed, "error"},
        // The processor plays no part here.
        {L"no-sse41", OperationResult::Done, done, "success"},
        {L"32-bit-windows", OperationResult::Warnings, warnings + unsupported, "error"},
        {L"pre-windows7", OperationResult::Done, done + unsupported, "error"},
        {L"pre-windows7,32-bit-windows", OperationResult::Failed, failed + unsupported, "error"},
    };
    for (const auto& test : cases) {
        build(test.traits);
        mContent->showResult(test.result);
        const Wx::TextControl& text = screenAs<SummaryScreen>(ScreenId::summary).resultText();
        // The multi-line box keeps the line ends as the system writes them.
        wxString value = text.GetValue();
        value.Replace(wxS("\r\n"), wxS("\n"));
        EXPECT_EQ(std::string(value.utf8_str()), test.text) << utf8Text(test.traits) << " " << int(test.result);
        EXPECT_EQ(colourName(text.GetForegroundColour()), test.colour) << utf8Text(test.traits);
        delete mFrame;
        mFrame = nullptr;
    }
}

TEST_F(ScreensTest, AResultOutsideItsValuesStops) {
    build();
    try {
        mContent->showResult(static_cast<OperationResult>(3));
        FAIL() << "no exception";
    } catch (const Exception& error) {
        EXPECT_STREQ(error.what(), "STOP@tarviodeploy/installer/ui/screens/summaryscreen(63)");
    }
}

TEST_F(ScreensTest, SummaryLinksOpenTheMakersPagesAndLightUpUnderTheMouse) {
    build();
    std::vector<std::string> opened;
    Wx::TextButton::setBrowserForTesting(
        Function<void(const String&)>([&](const String& address) { opened.push_back(utf8Text(address)); }));
    const std::vector<Wx::TextButton*> links = controlsOf<Wx::TextButton>(screen(ScreenId::summary));
    ASSERT_EQ(links.size(), 3u);
    for (Wx::TextButton* link : links) {
        for (const wxEventType type : {wxEVT_ENTER_WINDOW, wxEVT_LEFT_DOWN, wxEVT_LEFT_UP}) {
            wxMouseEvent event(type);
            event.SetEventObject(link);
            link->GetEventHandler()->ProcessEvent(event);
        }
        EXPECT_EQ(colourName(link->GetForegroundColour()), "255,100,50");
        wxMouseEvent leave(wxEVT_LEAVE_WINDOW);
        leave.SetEventObject(link);
        link->GetEventHandler()->ProcessEvent(leave);
        EXPECT_EQ(colourName(link->GetForegroundColour()), "230,80,42");
        EXPECT_EQ(link->GetFont().GetPixelSize().GetHeight(), Wx::scaled(12));
    }
    Wx::TextButton::setBrowserForTesting(Function<void(const String&)>());
    const std::string site = "https://" + utf8Text(websiteHost());
    EXPECT_EQ(opened, (std::vector<std::string>{site + "/link/2007", site + "/link/2008", site + "/link/2009"}));
}

TEST_F(ScreensTest, RadioButtonsSetTheInstallTypeAndTellTheMainWindow) {
    build();
    InstallTypeScreen& page = screenAs<InstallTypeScreen>(ScreenId::installationType);
    EXPECT_EQ(mInstaller->installType(), InstallType::Typical);
    std::vector<InstallType> told;
    // Before the main window sets its callback, a choice still reaches the installer.
    choose(*page.radioButton(InstallType::Custom));
    EXPECT_EQ(mInstaller->installType(), InstallType::Custom);
    page.setInstallTypeChanged(Function<void(InstallType)>([&](InstallType type) { told.push_back(type); }));
    for (const InstallType type : {InstallType::Unpack, InstallType::Typical, InstallType::Custom}) {
        choose(*page.radioButton(type));
        EXPECT_EQ(mInstaller->installType(), type);
    }
    EXPECT_EQ(told, (std::vector<InstallType>{InstallType::Unpack, InstallType::Typical, InstallType::Custom}));
}

TEST_F(ScreensTest, WithoutSse41CustomIsPresetAndOnlyTheLicensingServerIsOffered) {
    build(L"no-sse41");
    EXPECT_EQ(mInstaller->installType(), InstallType::Custom);
    InstallTypeScreen& page = screenAs<InstallTypeScreen>(ScreenId::installationType);
    EXPECT_EQ(page.radioButton(InstallType::Typical), nullptr);
    EXPECT_EQ(describeControls(&page),
              "radio 'Custom' [x]\n"
              "text 'Manually choose features to install, and where to install them.' text\n"
              "radio 'Unpack files' [ ]\n"
              "path '" + utf8Text(mInstaller->unpackDirectory().toNative()) + "'\n");
    EXPECT_EQ(describeControls(screen(ScreenId::options)),
              "text '" + sse41Notice + "' warning\n"
              "text 'Please select plugins and utilities to install:' text\n"
              "check 'Licensing Server' [ ] text\n"
              "path '" + utf8Text(DeployBase::installRoot().toNative()) + "'\n");
    // The notice stands 10 pixels above the heading.
    const std::vector<Wx::StaticText*> labels = controlsOf<Wx::StaticText>(screen(ScreenId::options));
    ASSERT_EQ(labels.size(), 2u);
    mContent->showScreen(ScreenId::options);
    EXPECT_EQ(labels[1]->GetPosition().y, labels[0]->GetRect().GetBottom() + 1 + 10);
}

TEST_F(ScreensTest, OptionsFitThePageAreaWithTheirLabelsWhole) {
    build();
    mContent->showScreen(ScreenId::options);
    // The page area laid out anew, as the window's size events do.
    mContent->SendSizeEvent();
    processEvents();
    wxWindow* page = screen(ScreenId::options);
    const wxRect area = mContent->GetScreenRect();
    // Every control, the path browsers' fields and buttons too, is inside the page area.
    std::vector<wxWindow*> windows(page->GetChildren().begin(), page->GetChildren().end());
    for (size_t i = 0; i < windows.size(); ++i) {
        for (wxWindow* child : windows[i]->GetChildren()) {
            windows.push_back(child);
        }
        const wxRect rect = windows[i]->GetScreenRect();
        EXPECT_TRUE(area.Contains(rect)) << std::string(windows[i]->GetLabel().utf8_str()) << " at " << rect.x
                                         << "," << rect.y << " " << rect.width << "x" << rect.height;
    }
    for (Wx::StaticText* label : controlsOf<Wx::StaticText>(page)) {
        expectWholeLabel(*label);
    }
}

TEST_F(ScreensTest, InstallationPageShowsItsLabelsWhole) {
    // Each verdict and each answer of the requirement rows.
    for (const wchar_t* traits : {L"", L"no-sse41", L"32-bit-windows", L"pre-windows7"}) {
        SCOPED_TRACE(utf8Text(traits));
        build(traits);
        mContent->showScreen(ScreenId::installation);
        mContent->SendSizeEvent();
        processEvents();
        const std::vector<Wx::StaticText*> labels = controlsOf<Wx::StaticText>(screen(ScreenId::installation));
        ASSERT_EQ(labels.size(), 8u);
        for (Wx::StaticText* label : labels) {
            expectWholeLabel(*label);
        }
        delete mFrame;
        mFrame = nullptr;
    }
}

TEST_F(ScreensTest, OptionsWriteSelectionAndFoldersIntoTheComponents) {
    build();
    mContent->showScreen(ScreenId::options);
    OptionsScreen& page = screenAs<OptionsScreen>(ScreenId::options);
    const std::vector<Wx::CheckBox*> checkBoxes = controlsOf<Wx::CheckBox>(&page);
    const std::vector<PathBrowser*> browsers = controlsOf<PathBrowser>(&page);
    ASSERT_EQ(checkBoxes.size(), 12u);
    ASSERT_EQ(browsers.size(), 4u);
    const std::string before = describeChoices(*mInstaller);

    // Material Library off, Licensing Server on.
    click(*checkBoxes[7]);
    click(*checkBoxes[9]);
    // Typing into the DR server's folder: every keystroke is a change.
    Wx::TextControl& drFolder = browsers[0]->textField();
    drFolder.SetValue(wxS("D:\\Render"));
    drFolder.AppendText(wxS("F"));
    EXPECT_EQ(pathText(mInstaller->components()[8]->targetDirectory()), "D:/RenderF");
    drFolder.AppendText(wxS("arm"));
    browsers[3]->textField().SetValue(wxString());

    std::string expected = before;
    auto replace = [&expected](const std::string& from, const std::string& to) {
        const size_t position = expected.find(from);
        ASSERT_NE(position, std::string::npos) << from;
        expected.replace(position, from.size(), to);
    };
    const std::string sideFolder = pathText(DeployBase::installRoot());
    replace("Material Library [x]", "Material Library [ ]");
    replace("Licensing Server [ ]", "Licensing Server [x]");
    replace("DR Server [x] " + sideFolder, "DR Server [x] D:/RenderFarm");
    replace("Image Editor [x] " + sideFolder, "Image Editor [x] ");
    EXPECT_EQ(describeChoices(*mInstaller), expected);
    click(*checkBoxes[7]);
    EXPECT_TRUE(mInstaller->components()[7]->selected());
}

TEST_F(ScreensTest, GridLayoutPutsFourCheckBoxesInARow) {
    build();
    mContent->showScreen(ScreenId::options);
    const std::vector<Wx::CheckBox*> checkBoxes = controlsOf<Wx::CheckBox>(screen(ScreenId::options));
    ASSERT_GE(checkBoxes.size(), 8u);
    // Seven 3ds Max versions: a row of four, then a row of three under the first three.
    for (int i = 1; i < 4; ++i) {
        EXPECT_EQ(checkBoxes[i]->GetPosition().y, checkBoxes[0]->GetPosition().y) << i;
        EXPECT_GT(checkBoxes[i]->GetPosition().x, checkBoxes[i - 1]->GetPosition().x) << i;
    }
    for (int i = 4; i < 7; ++i) {
        EXPECT_EQ(checkBoxes[i]->GetPosition().x, checkBoxes[i - 4]->GetPosition().x) << i;
        EXPECT_GT(checkBoxes[i]->GetPosition().y, checkBoxes[0]->GetPosition().y) << i;
    }
    // The material library's grid starts below.
    EXPECT_EQ(checkBoxes[7]->GetPosition().x, checkBoxes[0]->GetPosition().x);
    EXPECT_GT(checkBoxes[7]->GetPosition().y, checkBoxes[4]->GetPosition().y);
}

TEST_F(ScreensTest, TheUnpackFolderFollowsItsTextWhateverTheType) {
    build();
    PathBrowser& browser = screenAs<InstallTypeScreen>(ScreenId::installationType).pathBrowser();
    EXPECT_EQ(mInstaller->installType(), InstallType::Typical);
    browser.textField().SetValue(wxS("E:\\Unpacked"));
    EXPECT_EQ(pathText(mInstaller->unpackDirectory()), "E:/Unpacked");
    browser.textField().AppendText(wxS("2"));
    EXPECT_EQ(pathText(mInstaller->unpackDirectory()), "E:/Unpacked2");
}

TEST_F(ScreensTest, InstallationPageLogsInColour) {
    build();
    InstallScreen& page = screenAs<InstallScreen>(ScreenId::installation);
    page.logger().log(L"Installing Standalone... ", LogLevel::Info);
    page.logger().log(L"warnings\n", LogLevel::Warning);
    page.logger().log(L"failed\n", LogLevel::Error);
    processEvents();
    wxString value = page.log().GetValue();
    value.Replace(wxS("\r\n"), wxS("\n"));
    EXPECT_EQ(std::string(value.utf8_str()), "Installing Standalone... warnings\nfailed\n");
    const struct {
        long position;
        const char* colour;
    } cases[] = {{0, "text"}, {25, "warning"}, {34, "error"}};
    for (const auto& test : cases) {
        wxTextAttr style;
        ASSERT_TRUE(page.log().GetStyle(test.position, style));
        EXPECT_EQ(colourName(style.GetTextColour()), test.colour) << test.position;
    }
    EXPECT_TRUE(page.logger().isGui());
}

TEST_F(ScreensTest, TheLicenceMustBeAcceptedToGoForward) {
    build();
    WelcomeScreen& page = screenAs<WelcomeScreen>(ScreenId::welcome);
    DialogScript script;
    script.answerBox(MessageBoxAnswer::Ok);
    EXPECT_TRUE(page.canLeave(true));
    EXPECT_FALSE(page.canLeave(false));
    page.acceptance().SetValue(true);
    EXPECT_TRUE(page.canLeave(false));
    const Array<ShownDialog> shown = script.shown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(utf8Text(shown[0].caption), "Warning");
    EXPECT_EQ(utf8Text(shown[0].text), "You need to accept the Tarvio EULA to continue");
    EXPECT_EQ(shown[0].kind, MessageBoxKind::Warning);
    EXPECT_EQ(shown[0].buttons, MessageBoxButtons::Ok);
    EXPECT_FALSE(shown[0].hasParent);
}

TEST_F(ScreensTest, GoingForwardFromTheInstallTypeChecksTheSystem) {
    const std::string windows7Line = " - Tarvio requires Windows 7 or newer operating system.\n";
    const std::string bitsLine = " - Tarvio requires a 64-bit operating system.\n";
    const struct {
        const wchar_t* traits;
        bool goingBack;
        MessageBoxAnswer answer;
        std::string lines; // empty: no box
        bool leaves;
    } cases[] = {
        {L"", false, MessageBoxAnswer::Cancel, "", true},
        {L"32-bit-windows", false, MessageBoxAnswer::Ok, bitsLine, true},
        {L"pre-windows7", false, MessageBoxAnswer::Cancel, windows7Line, false},
        {L"pre-windows7,32-bit-windows", false, MessageBoxAnswer::Ok, windows7Line + bitsLine, true},
        {L"pre-windows7,32-bit-windows", true, MessageBoxAnswer::Cancel, "", true},
        // Without SSE4.1 the check asks nothing more.
        {L"no-sse41", false, MessageBoxAnswer::Cancel, "", true},
    };
    for (const auto& test : cases) {
        build(test.traits);
        DialogScript script;
        script.answerBox(test.answer);
        EXPECT_EQ(screenAs<InstallTypeScreen>(ScreenId::installationType).canLeave(test.goingBack), test.leaves)
            << utf8Text(test.traits) << " " << test.goingBack;
        const Array<ShownDialog> shown = script.shown();
        if (test.lines.empty()) {
            EXPECT_EQ(shown.size(), 0) << utf8Text(test.traits);
        } else {
            ASSERT_EQ(shown.size(), 1) << utf8Text(test.traits);
            EXPECT_EQ(utf8Text(shown[0].caption), "Error");
            EXPECT_EQ(utf8Text(shown[0].text),
                      "Requirements check failed\n\nYour system does not meet the minimal requirements:\n" +
                          test.lines + "\nTarvio Renderer will probably not work. Continue anyway?\n");
            EXPECT_EQ(shown[0].kind, MessageBoxKind::Error);
            EXPECT_EQ(shown[0].buttons, MessageBoxButtons::Ok | MessageBoxButtons::Cancel);
        }
        delete mFrame;
        mFrame = nullptr;
    }
}

TEST_F(ScreensTest, UnpackingNeedsAFullFolder) {
    build();
    InstallTypeScreen& page = screenAs<InstallTypeScreen>(ScreenId::installationType);
    Wx::TextControl& folder = page.pathBrowser().textField();
    const struct {
        InstallType type;
        const char* folder;
        bool leaves;
    } cases[] = {
        {InstallType::Unpack, "", false},
        {InstallType::Unpack, "Unpacked", false},
        {InstallType::Unpack, "C:\\Unpacked", true},
        // The folder matters only to an unpack.
        {InstallType::Typical, "", true},
        {InstallType::Custom, "Unpacked", true},
    };
    for (const auto& test : cases) {
        choose(*page.radioButton(test.type));
        folder.SetValue(wxString::FromUTF8(test.folder));
        DialogScript script;
        EXPECT_EQ(page.canLeave(false), test.leaves) << test.folder;
        const Array<ShownDialog> shown = script.shown();
        if (test.leaves) {
            EXPECT_EQ(shown.size(), 0) << test.folder;
        } else {
            ASSERT_EQ(shown.size(), 1) << test.folder;
            EXPECT_EQ(utf8Text(shown[0].caption), "Error");
            EXPECT_EQ(utf8Text(shown[0].text),
                      "The folder for the unpacked files must be a full path, such as C:\\Tarvio Renderer.");
            EXPECT_EQ(shown[0].buttons, MessageBoxButtons::Ok);
        }
    }
}

TEST_F(ScreensTest, BrowseSetsTheFolderOnceAndCancelChangesNothing) {
    build();
    PathBrowser& browser = screenAs<InstallTypeScreen>(ScreenId::installationType).pathBrowser();
    browser.textField().SetValue(wxS("C:\\Start"));
    std::vector<std::string> reported;
    browser.setPathChanged(
        Function<void(const Io::Path&)>([&](const Io::Path& path) { reported.push_back(pathText(path)); }));
    DialogScript script;
    script.answerDirectory(Io::Path(L"D:/Chosen Folder")).answerDirectory(Io::Path());
    pressAndRelease(browser.browseButton());
    EXPECT_EQ(std::string(browser.textField().GetValue().utf8_str()), "D:\\Chosen Folder");
    EXPECT_EQ(reported, std::vector<std::string>{"D:/Chosen Folder"});
    pressAndRelease(browser.browseButton());
    EXPECT_EQ(std::string(browser.textField().GetValue().utf8_str()), "D:\\Chosen Folder");
    EXPECT_EQ(reported.size(), 1u);
    const Array<ShownDialog> shown = script.shown();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0].type, DialogType::DirectoryDialog);
    EXPECT_EQ(utf8Text(shown[0].caption), "Select directory");
    EXPECT_TRUE(shown[0].hasParent);
}

TEST_F(ScreensTest, ARelativeFolderFailsItsComponentInsteadOfLandingInTheWorkingFolder) {
    // The product folder, and so the uninstaller and the install database, under the test's folder.
    const Io::Path programFiles = mFolder.path() / "Program Files";
    const ScopedEnvironmentVariable programFilesVariable(L"ProgramW6432", programFiles.toNative().text());
    build();
    mContent->showScreen(ScreenId::options);
    choose(*screenAs<InstallTypeScreen>(ScreenId::installationType).radioButton(InstallType::Custom));
    // Only the DR server, with a folder typed without its drive.
    for (Wx::CheckBox* checkBox : controlsOf<Wx::CheckBox>(screen(ScreenId::options))) {
        if (checkBox->GetValue() != (checkBox->GetLabel() == wxS("DR Server"))) {
            click(*checkBox);
        }
    }
    for (const SharedPtr<Component>& component : mInstaller->components()) {
        if (component->name() == L"LUT bundle" || component->name() == L"IES bundle" ||
            component->name() == L"Microsoft Dependencies") {
            component->setSelected(false);
        }
    }
    controlsOf<PathBrowser>(screen(ScreenId::options))[0]->textField().SetValue(wxS("RelativeFarm"));

    RecordingLogger logger;
    const OperationResult result = mInstaller->run(logger);
    WinApi::Registry::deleteKey(L"HKEY_LOCAL_MACHINE\\Software\\TarvioRenderer");
    WinApi::Registry::deleteKey(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TarvioForMax");

    EXPECT_EQ(result, OperationResult::Failed);
    EXPECT_NE(logger.printed.find("[error] The installation path \"RelativeFarm\" of this component is not a full "
                                  "path."),
              std::string::npos)
        << logger.printed;
    EXPECT_FALSE(Io::isDirectory(Io::Path(L"RelativeFarm").absolute()));
    EXPECT_TRUE(Io::isFile(programFiles / "Tarvio" / "RemoveTarvioForMax.exe"));
}

} // namespace
} // namespace Tarvio
