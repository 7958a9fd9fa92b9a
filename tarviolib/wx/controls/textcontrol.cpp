#include "tarviolib/wx/controls/textcontrol.h"

#include "tarviolib/wx/controls/screenscaling.h"

#include <wx/dcclient.h>

namespace Tarvio::Wx {

TextControl::TextControl(wxWindow* parent, wxWindowID id, const String& value, long style, int32_t fontFlags,
                         int32_t width, int32_t height)
    : SkinnableMixin<wxTextCtrl>(parent, id, wxString(value.text()), wxDefaultPosition, scaleSize(width, height),
                                 style),
      TooltipWindow(this) {
    Bind(wxEVT_PAINT, &TextControl::onPaint, this);
    SetFont(makeFont(GetFont(), fontFlags));
}

bool TextControl::AcceptsFocusFromKeyboard() const {
    return !HasFlag(wxTE_READONLY) && wxTextCtrl::AcceptsFocusFromKeyboard();
}

void TextControl::drawDisabled(wxDC& dc) {
    dc.SetTextForeground(skin().colour(Skin::DisabledText));
    dc.DrawText(GetValue(), scaled(3), 0);
}

void TextControl::onPaint(wxPaintEvent& event) {
    if (IsEnabled()) {
        event.Skip();
        return;
    }
    wxPaintDC dc(this);
    drawDisabled(dc);
}

} // namespace Tarvio::Wx
