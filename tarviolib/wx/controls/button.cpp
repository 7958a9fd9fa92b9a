#include "tarviolib/wx/controls/button.h"

#include "tarviolib/wx/controls/screenscaling.h"

namespace Tarvio::Wx {

Button::Button(wxWindow* parent, const Skin& skin, wxWindowID id, const String& label, const wxBitmap& bitmap,
               const wxBitmap& disabledBitmap, Function<void()> onClick, int32_t kind, bool enabled,
               uint32_t frameFlags)
    : RawaBorder(parent, id, wxString(label.text()), frameFlags),
      TooltipWindow(this),
      mLabel(label),
      mBitmaps{disabledBitmap.IsOk() ? disabledBitmap : bitmap, bitmap},
      mToggleMode(kind == Toggle),
      mSkin(skin),
      mOnClick(std::move(onClick)) {
    SetBackgroundColour(mSkin.colour(Skin::Background));
    SetForegroundColour(mSkin.colour(Skin::Text));
    Bind(wxEVT_LEFT_UP, &Button::onLeftUp, this);
    Bind(wxEVT_LEFT_DOWN, &Button::onLeftDown, this);
    Bind(wxEVT_LEFT_DCLICK, &Button::onLeftDown, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &Button::onMouseCaptureLost, this);
    SetMinSize(wxSize(-1, scaled(24)));
    Enable(enabled);
}

Button* Button::push(wxWindow* parent, const Skin& skin, const String& label, Function<void()> onClick) {
    return new Button(parent, skin, wxID_ANY, label, wxNullBitmap, wxNullBitmap, std::move(onClick), Push, true,
                      FrameEnabled);
}

Button::~Button() {
    if (HasCapture()) {
        ReleaseMouse();
    }
}

void Button::SetLabel(const wxString& label) {
    mLabel = String(label.wc_str());
    Refresh(true);
}

wxString Button::GetLabel() const {
    return wxString(mLabel.text());
}

bool Button::Enable(bool enable) {
    const bool changed = RawaBorder::Enable(enable);
    Refresh(false);
    return changed;
}

void Button::draw(wxDC& dc) {
    dc.SetFont(atControlHeight(dc.GetFont()));

    const wxSize size = dc.GetSize();
    drawFrame(dc, 0, 0, size.x, size.y, frameFlags());

    const bool enabled = (frameFlags() & FrameEnabled) != 0;
    const wxBitmap& bitmap = mBitmaps[enabled ? 1 : 0];
    int32_t bitmapWidth = 0;
    if (bitmap.IsOk()) {
        const int32_t offset = (frameFlags() & FrameFlat) ? 1 : 2;
        dc.DrawBitmap(bitmap, offset, offset, false);
        bitmapWidth = bitmap.GetWidth();
    }

    if (!mLabel.isEmpty()) {
        const wxString label(mLabel.text());
        const wxSize text = dc.GetTextExtent(label);
        const int32_t x = bitmapWidth + (size.x - text.x - bitmapWidth) / 2;
        const int32_t y = (size.y - text.y) / 2 - (isOnePixelTwoOrMore() ? 2 : 0);
        if (!IsEnabled()) {
            dc.SetTextForeground(wxColour(110, 110, 110));
        }
        dc.DrawText(label, x, y);
    }
}

void Button::onLeftDown(wxMouseEvent&) {
    if (!(frameFlags() & FrameEnabled)) {
        return;
    }
    SetBackgroundColour(mSkin.colour(Skin::PressedBackground));
    mPressed = true;
    if (!HasCapture()) {
        CaptureMouse();
    }
    Refresh(true);
}

void Button::onLeftUp(wxMouseEvent& event) {
    if (!mPressed) {
        return;
    }
    if (HasCapture()) {
        ReleaseMouse();
    }
    const wxPoint position = event.GetPosition();
    const wxSize size = GetClientSize();
    showNormalBackground();
    if (position.x < 0 || position.x >= size.x || position.y < 0 || position.y >= size.y) {
        return;
    }
    if (mToggleMode) {
        mToggled = !mToggled;
        SetBackgroundColour(mSkin.colour(mToggled ? Skin::ToggledBackground : Skin::Background));
        SetForegroundColour(mSkin.colour(mToggled ? Skin::ToggledText : Skin::Text));
    }
    // A command event, so that handlers bound for wxEVT_BUTTON read it as one; it starts at the
    // button and travels up to the parent.
    wxCommandEvent click(wxEVT_BUTTON, GetId());
    click.SetEventObject(this);
    HandleWindowEvent(click);
    if (mOnClick) {
        mOnClick();
    }
}

void Button::onMouseCaptureLost(wxMouseCaptureLostEvent&) {
    if (HasCapture()) {
        ReleaseMouse();
    }
    showNormalBackground();
}

void Button::showNormalBackground() {
    mPressed = false;
    SetBackgroundColour(mSkin.colour(Skin::Background));
    Refresh(true);
}

} // namespace Tarvio::Wx
