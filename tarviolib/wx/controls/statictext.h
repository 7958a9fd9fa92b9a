#pragma once

#include "tarviolib/core/object.h"
#include "tarviolib/core/string.h"
#include "tarviolib/wx/controls/tooltipwindow.h"

#include <wx/stattext.h>

namespace Tarvio::Wx {

// A label that paints itself in its foreground colour and can be wrapped again to any width.
class StaticText : public wxStaticText, public TooltipWindow, public Object {
public:
    // width and height are written for 96 DPI; -1 leaves them to the toolkit.
    StaticText(wxWindow* parent, wxWindowID id, const String& label, long style, int32_t fontFlags, int32_t width,
               int32_t height);

    void SetLabel(const wxString& label) override;

    // Wraps the text as last set (not as last wrapped) at the given width; 0 or less sets it back
    // unwrapped.
    void rewrap(int32_t width);

    // Paints the label; device contexts other than the paint one serve tests.
    void draw(wxDC& dc);

protected:
    // As wide as the widest line is drawn, which can be more than it measures.
    wxSize DoGetBestClientSize() const override;

private:
    void onPaint(wxPaintEvent& event);
    void wrapUnwrappedLabel(int32_t width);

    String mUnwrappedLabel;
    bool mWrapping = false;
};

} // namespace Tarvio::Wx
