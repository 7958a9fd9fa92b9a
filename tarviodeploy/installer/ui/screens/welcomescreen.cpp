#include "tarviodeploy/installer/ui/screens/welcomescreen.h"

#include "tarviodeploy/installer/installer.h"
#include "tarviodeploy/installer/productidentity.h"
#include "tarviodeploy/shared/ui/interfacecolours.h"
#include "tarviolib/ui/guiutils.h"
#include "tarviolib/wx/controls/screenscaling.h"
#include "tarviolib/wx/controls/statictext.h"
#include "tarviolib/wx/controls/textcontrol.h"

#include <wx/checkbox.h>
#include <wx/sizer.h>

namespace Tarvio {

String readLicenceText(DeploymentEnvironment& environment) {
    const Array<uint8_t> bytes = environment.readFile(Io::Path(L"license.txt")).value();
    String text;
    for (const uint8_t byte : bytes) {
        if (byte == 0) {
            break;
        }
        text += static_cast<wchar_t>(byte);
    }
    return text;
}

WelcomeScreen::WelcomeScreen(wxWindow* parent, Installer& installer) : ScreenBase(parent), mInstaller(installer) {
    const PluginDescriptor& descriptor = installer.descriptor();
    wxBoxSizer* sizer = new wxBoxSizer(wxVERTICAL);
    Wx::StaticText* heading = createText(L"Welcome to the " + descriptor.name() + L" " + descriptor.version() + L" installer.");
    // Wrapped to the page area's width; a page area not yet laid out leaves it unwrapped (a width of
    // 0 would break it at every blank) until the page gets its size. The main window builds the
    // pages before its page area is laid out, so that first width can be tiny or empty: the heading
    // follows the page's size.
    const int32_t width = parent->GetClientSize().GetWidth();
    if (width > 0) {
        heading->rewrap(width);
    }
    wrapOnSize(heading);
    sizer->Add(heading, 0, 0);
    sizer->Add(createText(L"Copyright (c) " TARVIO_MAKER_NAME ". All rights reserved."), 0, 0);
    sizer->AddSpacer(20);
    sizer->Add(createText(L"To continue, you must agree to the terms of Tarvio EULA:"), 0, wxEXPAND);
    sizer->AddSpacer(10);

    mLicence = new Wx::TextControl(this, wxID_ANY, readLicenceText(installer.environment()),
                                   wxBORDER_NONE | wxTE_MULTILINE | wxTE_READONLY, 0, 200, 200);
    mLicence->SetBackgroundColour(toWxColour(InterfaceColours::textBoxBackground));
    mLicence->SetForegroundColour(toWxColour(InterfaceColours::text));
    // The box's first size is where it starts, not a floor: it gives way so that the acceptance
    // box below it stays inside the page.
    mLicence->SetMinSize(wxSize(mLicence->GetMinSize().GetWidth(), 0));
    sizer->Add(mLicence, 2, wxEXPAND);

    mAcceptance = new wxCheckBox(this, wxID_ANY, wxS("I accept the terms and conditions."), wxDefaultPosition,
                                 wxDefaultSize, 0, wxDefaultValidator, wxS("check"));
    mAcceptance->SetFont(Wx::atControlHeight(mAcceptance->GetFont()));
    sizer->Add(mAcceptance, 0, wxTOP, 3);
    sizer->AddStretchSpacer(1);
    SetSizer(sizer);
}

bool WelcomeScreen::canLeave(bool goingBack) {
    if (goingBack || mAcceptance->GetValue()) {
        return true;
    }
    showMessageBox(nullptr, L"Warning", L"You need to accept the Tarvio EULA to continue", MessageBoxKind::Warning,
                   MessageBoxButtons::Ok);
    return false;
}

} // namespace Tarvio
