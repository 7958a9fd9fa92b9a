#include "tarviolib/wx/wx.h"

#include "tarviolib/core/exception.h"
#include "tarviolib/core/stopreport.h"
#include "tarviolib/wx/asserthandler.h"
#include "tarviolib/wx/processeventstimer.h"
#include "tarviolib/wx/tarvioapp.h"

#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/socket.h>

namespace Tarvio::Wx {

namespace {

constexpr int IdleIntervalMs = 2000;

ProcessEventsTimer* eventsTimer = nullptr;

} // namespace

bool initialize(int32_t mode) {
    if (mode < 0 || mode > 2) {
        throwStop("tarviolib/wx/wx", 85);
    }
    installAssertHandler();
    wxLog::EnableLogging(false);
    wxApp::SetInstance(new TarvioApp);
    wxImage::AddHandler(new wxPNGHandler);
    wxImage::AddHandler(new wxJPEGHandler);
    wxImage::AddHandler(new wxICOHandler);
    wxImage::AddHandler(new wxBMPHandler);
    wxImage::AddHandler(new wxGIFHandler);
    wxImage::AddHandler(new wxTIFFHandler);
    wxImage::AddHandler(new wxTGAHandler);
    // Without the process's arguments: the toolkit's own parser would refuse the program's.
    if (!wxInitialize()) {
        // A failed start deletes the application object but still counts as a start.
        wxUninitialize();
        wxImage::CleanUpHandlers();
        throwException(String("The GUI toolkit could not be started."));
    }
    wxSocketBase::Initialize();
    if (mode != 2) {
        wxTheApp->CallOnInit();
    }
    eventsTimer = new ProcessEventsTimer;
    return eventsTimer->Start(IdleIntervalMs, wxTIMER_CONTINUOUS);
}

void deinitialize() {
    eventsTimer->Stop();
    delete eventsTimer;
    eventsTimer = nullptr;
    wxTheApp->ProcessIdle();
    wxTheApp->OnExit();
    wxSocketBase::Shutdown();
    wxUninitialize();
}

} // namespace Tarvio::Wx
