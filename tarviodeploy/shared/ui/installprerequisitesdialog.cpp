#include "tarviodeploy/shared/ui/installprerequisitesdialog.h"

#include "tarviodeploy/shared/deploymentenvironment.h"
#include "tarviodeploy/shared/ui/coloredtextcontrol.h"
#include "tarviodeploy/shared/ui/interfacecolours.h"
#include "tarviodeploy/shared/ui/interfaceskins.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/wx/controls/button.h"
#include "tarviolib/wx/controls/screenscaling.h"
#include "tarviolib/wx/controls/statictext.h"
#include "tarviolib/image/wximageconversion.h"

#include <wx/bitmap.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>

namespace Tarvio {

using Wx::scaleSize;

InstallPrerequisitesDialog::InstallPrerequisitesDialog(wxWindow* parent, DeploymentEnvironment* const* environment)
    : DraggableMixin(parent, wxID_ANY, "Tarvio (Un)installer warning", wxDefaultPosition, wxDefaultSize, 0, "dialog"),
      mEnvironment(environment) {
    wxBoxSizer* column = new wxBoxSizer(wxVERTICAL);
    column->AddSpacer(5);

    wxBoxSizer* heading = new wxBoxSizer(wxHORIZONTAL);
    heading->AddSpacer(5);
    if (mEnvironment != nullptr && *mEnvironment != nullptr) {
        // A logo that cannot be had costs the dialog its logo, never the question.
        wxBitmap logo;
        try {
            const Result<Image> image = (*mEnvironment)->loadImage(Io::Path(L"gui/Logo.png"));
            if (image.ok()) {
                logo = wxBitmap(toWxImage(image.value()).Scale(30, 30, wxIMAGE_QUALITY_HIGH));
            }
        } catch (const Exception&) {
        }
        if (logo.IsOk()) {
            heading->Add(new wxStaticBitmap(this, wxID_ANY, logo, wxDefaultPosition, wxDefaultSize, 0, "staticBitmap"));
            heading->AddSpacer(5);
        }
    }
    Wx::StaticText* title = new Wx::StaticText(this, wxID_ANY, L"Some unmet prerequisites occurred:", 0, 0, -1, -1);
    title->SetForegroundColour(toWxColour(InterfaceColours::text));
    heading->Add(title, 0, wxALIGN_BOTTOM);
    column->Add(heading);

    mLog = new ColoredTextControl(this, toWxColour(InterfaceColours::text));
    column->Add(mLog, 1, wxEXPAND | wxLEFT | wxRIGHT, 5);

    wxBoxSizer* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->AddStretchSpacer(1);
    const struct {
        Wx::Button** button;
        const wchar_t* label;
        int id;
        int border;
    } rows[] = {{&mRetryButton, L"Retry", wxID_RETRY, 13},
                {&mIgnoreButton, L"Ignore", wxID_IGNORE, 13},
                {&mAbortButton, L"Abort", wxID_ABORT, 5}};
    for (const auto& row : rows) {
        const int id = row.id;
        *row.button = Wx::Button::push(this, InterfaceSkins::pushButton, row.label,
                                       Function<void()>([this, id] { EndModal(id); }));
        const wxSize size = scaleSize(InterfaceSkins::pushButtonWidth, InterfaceSkins::pushButtonHeight);
        (*row.button)->SetInitialSize(size);
        (*row.button)->SetMinSize(size);
        buttons->Add(*row.button, 0, wxRIGHT, row.border);
    }
    column->Add(buttons, 0, wxEXPAND);

    SetSizer(column);
    SetSize(scaleSize(300, 200));
    SetBackgroundColour(toWxColour(InterfaceColours::pageBackground));
    // Escape and a close request answer Abort, the answer that changes nothing.
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_ESCAPE) {
            EndModal(wxID_ABORT);
        } else {
            event.Skip();
        }
    });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { EndModal(wxID_ABORT); });
}

void InstallPrerequisitesDialog::appendText(const String& text, const wxColour& colour) {
    mLog->appendText(text, colour);
}

void InstallPrerequisitesDialog::appendLine(const String& text) {
    mLog->appendDefaultText(text + L"\n");
}

} // namespace Tarvio
