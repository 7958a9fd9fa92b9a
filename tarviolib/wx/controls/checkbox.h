#pragma once

#include "tarviolib/core/function.h"
#include "tarviolib/wx/controls/focusable.h"

#include <wx/checkbox.h>

namespace Tarvio::Wx {

// The skinned check box: a framed box with a drawn tick, its label, a dotted focus rectangle, and
// Tab moving the focus among the Focusable controls of the same parent.
class CheckBox : public wxCheckBox, public Focusable {
public:
    CheckBox(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& position, const wxSize& size,
             bool enabled);

    // Whatever font is given, it is used at the control font's height.
    bool SetFont(const wxFont& font) override;

    // Called with the new value after each change by the user (not by SetValue).
    void setOnChange(Function<void(bool)> onChange) { mOnChange = std::move(onChange); }

    // Paints the control; device contexts other than the paint one serve tests.
    void draw(wxDC& dc);

    // The platform's own drawing requests for the button control get the same look.
    bool MSWOnDraw(WXDRAWITEMSTRUCT* item) override;

private:
    void onChange(wxCommandEvent& event);
    void onPaint(wxPaintEvent& event);
    void onKillFocus(wxFocusEvent& event);
    void onKeyDown(wxKeyEvent& event);
    void onKeyUp(wxKeyEvent& event);
    void moveFocus(bool forward);
    void makeOwnerDrawn();
    static wxFont installedFont(const wxDC& dc);

    Function<void(bool)> mOnChange;
    bool mTabPressed = false;
};

} // namespace Tarvio::Wx
