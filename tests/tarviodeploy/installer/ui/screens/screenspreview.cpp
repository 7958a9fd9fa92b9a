// Saves a picture of each page as the main window's page column shows it (the step indicator above
// the page area, the button row left blank), over the demo payload: for looking at the pages at the
// screen's DPI. Usage: tarvio_screens_preview OUTPUT_FOLDER [TRAITS]; the pictures are
// OUTPUT_FOLDER/page-N.bmp, each 600 x 400.

#include "tarviodeploy/installer/installer.h"
#include "tarviodeploy/installer/plugindescriptor3dsmax.h"
#include "tarviodeploy/installer/ui/installerguiandfilelogger.h"
#include "tarviodeploy/installer/ui/screens/contentwindow.h"
#include "tarviodeploy/installer/ui/screens/installscreen.h"
#include "tarviodeploy/installer/ui/screens/interfacecolours.h"
#include "tarviodeploy/installer/ui/screens/progressbar.h"
#include "tarviolib/wx/library.h"
#include "tests/tarviodeploy/installer/ui/screens/screenstesting.h"

#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/sizer.h>

#include <cstdio>
#include <string>

namespace Tarvio {
namespace {

void settle() {
    for (int i = 0; i < 20; ++i) {
        wxEventLoopBase::GetActive()->YieldFor(wxEVT_CATEGORY_ALL);
        wxTheApp->ProcessPendingEvents();
        Sleep(25);
    }
}

int run(const std::string& folder) {
    const std::vector<uint8_t> pack = Testing::demoPayload();
    DeploymentEnvironment environment(pack.data(), static_cast<int32_t>(pack.size()));
    PluginDescriptor3dsMax descriptor;
    Testing::RecordingUserInterface ui;
    Installer installer(&descriptor, &environment, &ui);

    wxFrame* frame = new wxFrame(nullptr, wxID_ANY, wxS("Pages"), wxPoint(0, 0), wxSize(600, 400), wxBORDER_NONE);
    frame->SetBackgroundColour(wxColour(60, 60, 60));
    ProgressBar* steps = new ProgressBar(frame, wxSize(-1, 20));
    Array<String> names;
    for (const wchar_t* name : {L"Welcome", L"Install Type", L"Options", L"Installation", L"Summary"}) {
        names.append(name);
    }
    steps->setSteps(names);
    ContentWindow* content = new ContentWindow(frame, installer);
    wxBoxSizer* column = new wxBoxSizer(wxVERTICAL);
    column->AddSpacer(90);
    column->Add(steps, 0, wxEXPAND);
    column->AddSpacer(15);
    column->Add(content, 1, wxEXPAND);
    column->AddSpacer(15);
    // Where the main window's buttons go: 24 pixels, scaled like the buttons' height.
    column->AddSpacer(frame->FromDIP(24));
    column->AddSpacer(20);
    wxBoxSizer* row = new wxBoxSizer(wxHORIZONTAL);
    row->AddSpacer(191);
    row->Add(column, 1, wxEXPAND);
    row->AddSpacer(30);
    frame->SetSizer(row);
    frame->SetSize(600, 400);
    content->createScreens();
    frame->Show();

    InstallerGuiAndFileLogger& logger = content->installScreen().logger();
    logger.log(L"Installing 3ds Max 2019 Plugin... ", LogLevel::Info);
    logger.log(L"done\n", LogLevel::Info);
    logger.log(L"Installing Material Library... ", LogLevel::Info);
    logger.log(L"warnings\n", LogLevel::Warning);
    logger.log(L"Installing Standalone... ", LogLevel::Info);
    logger.log(L"failed\n", LogLevel::Error);
    logger.log(L"Installation has been finished", LogLevel::Info);
    content->showResult(OperationResult::Done);

    for (int32_t page = 0; page < 5; ++page) {
        content->showScreen(page);
        steps->setCurrentStep(page);
        frame->Refresh();
        settle();
        wxClientDC screen(frame);
        wxBitmap picture(frame->GetClientSize());
        wxMemoryDC memory(picture);
        memory.Blit(0, 0, picture.GetWidth(), picture.GetHeight(), &screen, 0, 0);
        memory.SelectObject(wxNullBitmap);
        const std::string path = folder + "/page-" + std::to_string(page) + ".bmp";
        if (!picture.ConvertToImage().SaveFile(wxString::FromUTF8(path), wxBITMAP_TYPE_BMP)) {
            fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    frame->Destroy();
    return 0;
}

} // namespace
} // namespace Tarvio

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: tarvio_screens_preview OUTPUT_FOLDER [TRAITS]\n");
        return 2;
    }
    SetEnvironmentVariableA("TARVIO_TEST_SYSTEM", argc > 2 ? argv[2] : "");
    Tarvio::initLibrary(1);
    int result;
    {
        wxEventLoop loop;
        wxEventLoopActivator active(&loop);
        result = Tarvio::run(argv[1]);
    }
    Tarvio::deinitLibrary();
    return result;
}
