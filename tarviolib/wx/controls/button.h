#pragma once

#include "tarviolib/core/function.h"
#include "tarviolib/core/object.h"
#include "tarviolib/core/string.h"
#include "tarviolib/wx/controls/rawaborder.h"
#include "tarviolib/wx/controls/skin.h"
#include "tarviolib/wx/controls/tooltipwindow.h"

#include <wx/bitmap.h>

namespace Tarvio::Wx {

// The skinned push or toggle button: a bitmap and a centred label inside the skinned frame. A click
// (press and release over the button) reaches the program as a wxEVT_BUTTON command event from the
// button, which travels up to its parent, and through the callback.
class Button : public RawaBorder, public TooltipWindow, public Object {
public:
    enum Kind : int32_t {
        Push = 0,
        Toggle = 1,
    };

    Button(wxWindow* parent, const Skin& skin, wxWindowID id, const String& label, const wxBitmap& bitmap,
           const wxBitmap& disabledBitmap, Function<void()> onClick, int32_t kind, bool enabled,
           uint32_t frameFlags);
    ~Button() override;

    // The wizard's push button: any id, no bitmaps, enabled, framed.
    static Button* push(wxWindow* parent, const Skin& skin, const String& label, Function<void()> onClick);

    void SetLabel(const wxString& label) override;
    wxString GetLabel() const override;
    bool Enable(bool enable = true) override;
    bool AcceptsFocusFromKeyboard() const override { return false; }

    bool isPressed() const { return mPressed; }
    bool isToggled() const { return mToggled; }

    void draw(wxDC& dc) override;

protected:
    virtual void onLeftDown(wxMouseEvent& event);
    virtual void onLeftUp(wxMouseEvent& event);
    virtual void onMouseCaptureLost(wxMouseCaptureLostEvent& event);

private:
    void showNormalBackground();

    String mLabel;
    wxBitmap mBitmaps[2]; // disabled, enabled
    bool mPressed = false;
    bool mToggleMode;
    bool mToggled = false;
    Skin mSkin;
    Function<void()> mOnClick;
};

} // namespace Tarvio::Wx
