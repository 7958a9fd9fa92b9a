#include "tarviodeploy/installer/ui/screens/screenbase.h"

#include "tarviodeploy/shared/ui/interfacecolours.h"
#include "tarviolib/wx/controls/statictext.h"

namespace Tarvio {

ScreenBase::ScreenBase(wxWindow* parent)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL | wxBORDER_NONE, wxS("panel")) {
    SetBackgroundColour(toWxColour(InterfaceColours::pageBackground));
    SetForegroundColour(toWxColour(InterfaceColours::text));
    Bind(wxEVT_SIZE, &ScreenBase::onSize, this);
}

bool ScreenBase::canLeave(bool) {
    return true;
}

Wx::StaticText* ScreenBase::createText(const String& text) {
    return new Wx::StaticText(this, wxID_ANY, text, 0, 0, -1, -1);
}

Wx::StaticText* ScreenBase::createColouredText(const String& text, const wxColour& colour) {
    Wx::StaticText* label = createText(text);
    label->SetForegroundColour(colour);
    return label;
}

void ScreenBase::wrapOnSize(Wx::StaticText* label, int32_t indent) {
    mWrappedLabels.append({label, indent});
}

void ScreenBase::onSize(wxSizeEvent& event) {
    for (const WrappedLabel& wrapped : mWrappedLabels) {
        wrapped.label->rewrap(event.GetSize().GetWidth() - wrapped.indent);
    }
    Layout();
}

} // namespace Tarvio
