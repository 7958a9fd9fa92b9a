#include "tarviodeploy/installer/ui/screens/installscreen.h"

#include "tarviodeploy/installer/ui/installerguiandfilelogger.h"
#include "tarviodeploy/shared/sse41support.h"
#include "tarviodeploy/shared/systemrequirements.h"
#include "tarviodeploy/shared/ui/coloredtextcontrol.h"
#include "tarviodeploy/shared/ui/interfacecolours.h"
#include "tarviolib/wx/controls/statictext.h"

#include <wx/sizer.h>

namespace Tarvio {

namespace {

struct Requirement {
    const wchar_t* label;
    bool met;
    // The colour of its "NO".
    RgbColour missingColour;
};

struct Verdict {
    const wchar_t* sentence;
    RgbColour colour;
};

Verdict verdictFor(bool windows7OrNewer, bool windows64Bit, bool sse41) {
    if (!windows7OrNewer || !windows64Bit) {
        return {L"Your system does not meet the minimal requirements to run Tarvio Renderer. The installation should "
                L"finish successfully, but when you try to run Tarvio you may experience crashes or other problems.",
                InterfaceColours::error};
    }
    if (!sse41) {
        return {L"Some components have been disabled because your CPU does not support SSE4.1 instruction set.",
                InterfaceColours::warning};
    }
    return {L"Your system can run Tarvio.", InterfaceColours::success};
}

} // namespace

InstallScreen::InstallScreen(wxWindow* parent) : ScreenBase(parent), mSizer(new wxBoxSizer(wxVERTICAL)) {
    const bool windows64Bit = is64BitWindows();
    const bool sse41 = isSse41Supported();
    const bool windows7OrNewer = isWindows7OrNewer();
    const Requirement requirements[] = {
        {L"64-bit operating system", windows64Bit, InterfaceColours::error},
        {L"SSE4.1-enabled CPU", sse41, InterfaceColours::warning},
        {L"Windows 7 or newer", windows7OrNewer, InterfaceColours::error},
    };

    mSizer->Add(createText(L"Hardware and software requirements:"), 0, 0);
    for (const Requirement& requirement : requirements) {
        wxBoxSizer* row = new wxBoxSizer(wxHORIZONTAL);
        row->Add(createText(String(requirement.label) + L": "), 0, 0);
        row->Add(requirement.met ? createColouredText(L"OK", toWxColour(InterfaceColours::success))
                                 : createColouredText(L"NO", toWxColour(requirement.missingColour)),
                 0, 0);
        mSizer->Add(row, 0, 0);
    }
    const Verdict verdict = verdictFor(windows7OrNewer, windows64Bit, sse41);
    mVerdict = createText(String());
    mVerdict->SetLabel(verdict.sentence);
    mVerdict->SetForegroundColour(toWxColour(verdict.colour));
    mSizer->Add(mVerdict, 0, wxEXPAND);
    wrapOnSize(mVerdict);
    mSizer->AddSpacer(10);

    mLog = new ColoredTextControl(this, toWxColour(InterfaceColours::text));
    mLogger = makeUnique<InstallerGuiAndFileLogger>(mLog);
    mSizer->Add(mLog, 1, wxEXPAND);
    SetSizer(mSizer);
}

InstallScreen::~InstallScreen() = default;

} // namespace Tarvio
