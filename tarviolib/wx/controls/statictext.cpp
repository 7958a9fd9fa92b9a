#include "tarviolib/wx/controls/statictext.h"

#include "tarviolib/wx/controls/screenscaling.h"

#include <wx/dcclient.h>

namespace Tarvio::Wx {

StaticText::StaticText(wxWindow* parent, wxWindowID id, const String& label, long style, int32_t fontFlags,
                       int32_t width, int32_t height)
    : TooltipWindow(this), mUnwrappedLabel(label) {
    Create(parent, id, wxString(label.text()), wxDefaultPosition, scaleSize(width, height), style, "staticText");
    Bind(wxEVT_PAINT, &StaticText::onPaint, this);
    SetFont(makeFont(GetFont(), fontFlags));
}

void StaticText::SetLabel(const wxString& label) {
    if (!mWrapping) {
        mUnwrappedLabel = String(label.wc_str());
    }
    wxStaticText::SetLabel(label);
}

void StaticText::rewrap(int32_t width) {
    SetLabel(wxString(mUnwrappedLabel.text()));
    // Wrap sets the wrapped text through SetLabel, which must not take it for the unwrapped one.
    mWrapping = true;
    Wrap(width);
    mWrapping = false;
}

void StaticText::draw(wxDC& dc) {
    const wxSize size = GetClientSize();
    dc.DrawLabel(GetLabelText(), wxNullBitmap, wxRect(0, 0, size.x, size.y),
                 static_cast<int>(GetWindowStyleFlag() & wxALIGN_MASK), -1);
}

void StaticText::onPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    draw(dc);
}

} // namespace Tarvio::Wx
