#pragma once

#include "tarviolib/core/string.h"

#include <wx/panel.h>

namespace Tarvio {

namespace Wx {
class StaticText;
}

// The base of the wizard's pages: a borderless panel in the interface's colours.
class ScreenBase : public wxPanel {
public:
    explicit ScreenBase(wxWindow* parent);

    // Asked before the main window leaves this page; goingBack when the target is not above it.
    // A page that refuses shows its own message.
    virtual bool canLeave(bool goingBack);

protected:
    // A label on this page, not yet in a sizer.
    Wx::StaticText* createText(const String& text);
    Wx::StaticText* createColouredText(const String& text, const wxColour& colour);
};

} // namespace Tarvio
