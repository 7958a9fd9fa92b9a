#pragma once

#include "tarviolib/wx/controls/iskinnable.h"

#include <wx/validate.h>

namespace Tarvio::Wx {

// A toolkit control that carries a Skin; the colours apply only when setSkin is called.
template <typename Control>
class SkinnableMixin : public Control, public ISkinnable {
public:
    SkinnableMixin(wxWindow* parent, wxWindowID id, const wxString& value, const wxPoint& position,
                   const wxSize& size, long style)
        : mSkin(Skin::defaults()) {
        Control::Create(parent, id, value, position, size, style, wxDefaultValidator, "text");
    }

    void setSkin(const Skin& skin) override {
        mSkin = skin;
        Control::SetBackgroundColour(mSkin.colour(Skin::Background));
        Control::SetForegroundColour(mSkin.colour(Skin::Text));
    }

    const Skin& skin() const { return mSkin; }

private:
    Skin mSkin;
};

} // namespace Tarvio::Wx
