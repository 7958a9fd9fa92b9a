#include "tarviodeploy/installer/ui/screens/summaryscreen.h"

#include "tarviodeploy/installer/servicehosts.h"
#include "tarviodeploy/shared/systemrequirements.h"
#include "tarviodeploy/shared/ui/interfacecolours.h"
#include "tarviolib/core/stopreport.h"
#include "tarviolib/wx/controls/screenscaling.h"
#include "tarviolib/wx/controls/statictext.h"
#include "tarviolib/wx/controls/textbutton.h"
#include "tarviolib/wx/controls/textcontrol.h"

#include <wx/sizer.h>

namespace Tarvio {

namespace {

struct Link {
    const wchar_t* caption;
    const wchar_t* path;
};

constexpr Link links[] = {
    {L"Tarvio homepage", L"/link/2007"},
    {L"Main features", L"/link/2008"},
    {L"Facebook page", L"/link/2009"},
};

} // namespace

SummaryScreen::SummaryScreen(wxWindow* parent) : ScreenBase(parent) {
    wxBoxSizer* sizer = new wxBoxSizer(wxVERTICAL);
    mResultText = new Wx::TextControl(this, wxID_ANY, L"Tarvio Renderer was successfully installed on your computer",
                                      wxBORDER_NONE | wxTE_MULTILINE | wxTE_READONLY | wxTE_NO_VSCROLL, 0, -1, -1);
    mResultText->SetForegroundColour(toWxColour(InterfaceColours::success));
    mResultText->SetBackgroundColour(toWxColour(InterfaceColours::pageBackground));
    sizer->Add(mResultText, 0, wxEXPAND);
    sizer->Add(createText(L"You may also be interested in:"), 0, wxEXPAND);
    for (const Link& link : links) {
        Wx::TextButton* button =
            new Wx::TextButton(this, wxID_ANY, link.caption, L"https://" + websiteHost() + link.path);
        button->SetFont(Wx::atControlHeight(button->GetFont()));
        button->setNormalColour(toWxColour(InterfaceColours::link));
        button->setHoverColour(toWxColour(InterfaceColours::linkHover));
        sizer->Add(button, 0, wxEXPAND);
    }
    SetSizer(sizer);
}

void SummaryScreen::showResult(OperationResult result) {
    String text;
    RgbColour colour;
    switch (result) {
    case OperationResult::Done:
        text = L"Tarvio Renderer was successfully installed on your computer\n";
        colour = InterfaceColours::success;
        break;
    case OperationResult::Warnings:
        text = L"There were some warnings during the installation. You can go back to the installation screen and "
               L"inspect the installation log to see them.\n";
        colour = InterfaceColours::warning;
        break;
    case OperationResult::Failed:
        text = L"There were some errors during the installation. You can go back to the installation screen and "
               L"inspect the installation log to see them.\n";
        colour = InterfaceColours::error;
        break;
    default: throwStop("tarviodeploy/installer/ui/screens/summaryscreen", 63);
    }
    if (!isWindows7OrNewer() || !is64BitWindows()) {
        text += L"\nYour computer does not meet the minimal requirements for the installation. If you try to run "
                L"Tarvio, you may experience crashes or other problems.\n";
        colour = InterfaceColours::error;
    }
    mResultText->SetValue(wxString(text.text(), text.size()));
    mResultText->SetForegroundColour(toWxColour(colour));
}

} // namespace Tarvio
