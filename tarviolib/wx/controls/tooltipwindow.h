#pragma once

class wxWindow;

namespace Tarvio::Wx {

// Remembers the control it belongs to, the anchor of a tool tip.
class TooltipWindow {
public:
    explicit TooltipWindow(wxWindow* owner) : mOwner(owner) {}

    wxWindow* tooltipOwner() const { return mOwner; }

private:
    wxWindow* mOwner;
};

} // namespace Tarvio::Wx
