#pragma once

#include "tarviolib/core/string.h"
#include "tarviolib/wx/controls/skinnablemixin.h"
#include "tarviolib/wx/controls/tooltipwindow.h"

#include <wx/textctrl.h>

namespace Tarvio::Wx {

// The skinned text box. While disabled it paints its text itself, in the skin's disabled colour.
class TextControl : public SkinnableMixin<wxTextCtrl>, public TooltipWindow {
public:
    // width and height are written for 96 DPI; -1 leaves them to the toolkit.
    TextControl(wxWindow* parent, wxWindowID id, const String& value, long style, int32_t fontFlags, int32_t width,
                int32_t height);

    // A read-only box is passed over by the Tab key.
    bool AcceptsFocusFromKeyboard() const override;

    // The disabled look; device contexts other than the paint one serve tests.
    void drawDisabled(wxDC& dc);

private:
    void onPaint(wxPaintEvent& event);
};

} // namespace Tarvio::Wx
