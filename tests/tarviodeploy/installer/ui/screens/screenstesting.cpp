#include "tests/tarviodeploy/installer/ui/screens/screenstesting.h"

#include "tarviodeploy/installer/ui/screens/installscreen.h"
#include "tarviodeploy/installer/ui/screens/pathbrowser.h"
#include "tarviodeploy/shared/ui/coloredtextcontrol.h"
#include "tarviolib/wx/controls/button.h"
#include "tarviolib/wx/controls/checkbox.h"
#include "tarviolib/wx/controls/statictext.h"
#include "tarviolib/wx/controls/textbutton.h"
#include "tarviolib/wx/controls/textcontrol.h"

#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/evtloop.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>

#include <fstream>
#include <iterator>

namespace Tarvio::Testing {

namespace {

std::string utf8(const wxString& text) {
    return std::string(text.utf8_str());
}

// Wrapping breaks lines at blanks; the description shows the text as it was given.
std::string unwrapped(const wxString& text) {
    wxString copy = text;
    copy.Replace(wxS("\n"), wxS(" "));
    return utf8(copy);
}

std::string firstLine(const wxString& text) {
    return utf8(text.BeforeFirst(wxS('\n')).BeforeFirst(wxS('\r')));
}

void describe(wxWindow* window, std::string& text) {
    const std::string colour = colourName(window->GetForegroundColour());
    if (auto* browser = dynamic_cast<PathBrowser*>(window)) {
        text += "path '" + utf8(browser->textField().GetValue()) + "'\n";
        return;
    }
    if (dynamic_cast<ColoredTextControl*>(window)) {
        text += "log " + colour + " on " + colourName(window->GetBackgroundColour()) + "\n";
        return;
    }
    if (auto* link = dynamic_cast<Wx::TextButton*>(window)) {
        text += "link '" + unwrapped(link->GetLabel()) + "' " + colour + "\n";
    } else if (auto* label = dynamic_cast<Wx::StaticText*>(window)) {
        text += "text '" + unwrapped(label->GetLabel()) + "' " + colour + "\n";
    } else if (auto* box = dynamic_cast<Wx::TextControl*>(window)) {
        text += "box '" + firstLine(box->GetValue()) + "' " + colour + " on " +
                colourName(window->GetBackgroundColour()) + "\n";
    } else if (auto* radio = dynamic_cast<wxRadioButton*>(window)) {
        text += "radio '" + utf8(radio->GetLabel()) + (radio->GetValue() ? "' [x]\n" : "' [ ]\n");
    } else if (auto* check = dynamic_cast<wxCheckBox*>(window)) {
        text += "check '" + utf8(check->GetLabel()) + (check->GetValue() ? "' [x]" : "' [ ]") +
                (dynamic_cast<Wx::CheckBox*>(window) ? " " + colour : "") + "\n";
    } else if (auto* button = dynamic_cast<Wx::Button*>(window)) {
        text += "button '" + utf8(button->GetLabel()) + "'\n";
    }
    for (wxWindow* child : window->GetChildren()) {
        describe(child, text);
    }
}

} // namespace

std::string colourName(const wxColour& colour) {
    const struct {
        unsigned char red, green, blue;
        const char* name;
    } names[] = {{40, 190, 60, "success"}, {210, 40, 40, "error"},  {232, 170, 39, "warning"},
                 {51, 51, 51, "page"},     {190, 190, 190, "text"}, {40, 40, 40, "licence"}};
    for (const auto& name : names) {
        if (colour.Red() == name.red && colour.Green() == name.green && colour.Blue() == name.blue) {
            return name.name;
        }
    }
    return std::to_string(colour.Red()) + "," + std::to_string(colour.Green()) + "," + std::to_string(colour.Blue());
}

std::string describeControls(wxWindow* window) {
    std::string text;
    for (wxWindow* child : window->GetChildren()) {
        describe(child, text);
    }
    return text;
}

std::vector<uint8_t> demoPayload() {
    std::ifstream file(TARVIO_DEMO_PAYLOAD, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

ScreensTest::ScreensTest() : mPack(demoPayload()) {
    mEnvironment = makeUnique<DeploymentEnvironment>(mPack.data(), static_cast<int32_t>(mPack.size()));
}

ScreensTest::~ScreensTest() {
    delete mFrame;
}

void ScreensTest::build(const wchar_t* traits) {
    SetEnvironmentVariableW(L"TARVIO_TEST_SYSTEM", (std::wstring(L"no-known-folders,") + traits).c_str());
    mInstaller = makeUnique<Installer>(&mDescriptor, mEnvironment.get(), &mUi);
    // The page column of the main window: 600 less 191 and 30 wide, 400 less the rows above and
    // below high.
    // A tool window: Wine takes two seconds to destroy a window it thinks a window manager
    // handles, and the tests make many frames.
    mFrame = new wxFrame(nullptr, wxID_ANY, wxS("pages"), wxDefaultPosition, wxDefaultSize,
                         wxBORDER_NONE | wxFRAME_TOOL_WINDOW);
    mFrame->SetClientSize(379, 216);
    mContent = new ContentWindow(mFrame, *mInstaller);
    wxBoxSizer* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(mContent, 1, wxEXPAND);
    mFrame->SetSizer(sizer);
    mFrame->Layout();
    mContent->createScreens();
    mContent->showScreen(ScreenId::welcome);
    mFrame->Show();
    processEvents();
}

wxWindow* ScreensTest::screen(ScreenId id) const {
    return mContent->GetSizer()->GetItem(static_cast<size_t>(id))->GetWindow();
}

void ScreensTest::processEvents() {
    // The test program's main runs with an active event loop.
    wxEventLoopBase::GetActive()->YieldFor(wxEVT_CATEGORY_ALL);
    wxTheApp->ProcessPendingEvents();
}

} // namespace Tarvio::Testing
