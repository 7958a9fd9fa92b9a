#include "tarviodeploy/installer/ui/screens/pathbrowser.h"

#include "tarviodeploy/shared/ui/interfacecolours.h"
#include "tarviodeploy/shared/ui/interfaceskins.h"
#include "tarviolib/ui/guiutils.h"
#include "tarviolib/wx/controls/button.h"
#include "tarviolib/wx/controls/textcontrol.h"

#include <wx/sizer.h>

namespace Tarvio {

namespace {

wxString nativeText(const Io::Path& path) {
    const String native = path.toNative();
    return wxString(native.text(), native.size());
}

} // namespace

PathBrowser::PathBrowser(wxWindow* parent, const wxPoint& position, const wxSize& size, const Io::Path& initial)
    : wxPanel(parent, wxID_ANY, position, size, wxTAB_TRAVERSAL | wxBORDER_NONE, wxS("panel")) {
    mTextField = new Wx::TextControl(this, wxID_ANY, initial.toNative(), wxBORDER_SIMPLE, 0, -1, -1);
    mTextField->SetBackgroundColour(toWxColour(InterfaceColours::pageBackground));
    mTextField->SetForegroundColour(toWxColour(InterfaceColours::text));
    // The field takes what the button leaves: its first width is no floor that would push the
    // button out of a narrow page.
    mTextField->SetMinSize(wxSize(0, mTextField->GetMinSize().GetHeight()));
    mBrowseButton = Wx::Button::push(this, InterfaceSkins::browseButton, L"Browse",
                                     Function<void()>([this] { browse(); }));
    mBrowseButton->SetMinClientSize(wxSize(75, -1));
    wxBoxSizer* sizer = new wxBoxSizer(wxHORIZONTAL);
    sizer->Add(mTextField, 1, wxEXPAND);
    sizer->Add(mBrowseButton, 0, wxEXPAND | wxLEFT, 5);
    SetSizer(sizer);
    mTextField->Bind(wxEVT_TEXT, &PathBrowser::onTextChanged, this);
}

Io::Path PathBrowser::path() const {
    const wxString value = mTextField->GetValue();
    return Io::Path(String(value.wc_str(), static_cast<int32_t>(value.length())));
}

void PathBrowser::onTextChanged(wxCommandEvent&) {
    if (mPathChanged) {
        mPathChanged(path());
    }
}

void PathBrowser::browse() {
    const Io::Path chosen = chooseDirectory(static_cast<NativeWindow>(GetHandle()), L"Select directory", path());
    if (chosen.isEmpty()) {
        return;
    }
    // Without the toolkit's text event, whose count for an unchanged text differs by platform: the
    // folder is reported exactly once.
    mTextField->ChangeValue(nativeText(chosen));
    if (mPathChanged) {
        mPathChanged(chosen);
    }
}

} // namespace Tarvio
