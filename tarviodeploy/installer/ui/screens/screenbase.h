#pragma once

#include "tarviolib/core/array.h"
#include "tarviolib/core/string.h"

#include <wx/panel.h>

#include <cstdint>

class wxSizeEvent;

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
    // On every size of the page the label is wrapped to the page's width less indent; then the page
    // is laid out again.
    void wrapOnSize(Wx::StaticText* label, int32_t indent = 0);

private:
    struct WrappedLabel {
        Wx::StaticText* label;
        int32_t indent;
    };

    void onSize(wxSizeEvent& event);

    Array<WrappedLabel> mWrappedLabels;
};

} // namespace Tarvio
