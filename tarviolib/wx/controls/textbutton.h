#pragma once

#include "tarviolib/core/function.h"
#include "tarviolib/core/string.h"
#include "tarviolib/wx/controls/focusable.h"
#include "tarviolib/wx/controls/statictext.h"

namespace Tarvio::Wx {

// A text link: it takes its hover colour and a hand cursor under the mouse and runs its callback
// when clicked.
class TextButton : public StaticText, public Focusable {
public:
    // A link that opens the web address in the default browser.
    TextButton(wxWindow* parent, wxWindowID id, const String& label, const String& webAddress);
    TextButton(wxWindow* parent, wxWindowID id, const String& label, Function<void()> onClick,
               const wxPoint& position, const wxSize& size);

    void setNormalColour(const wxColour& colour);
    void setHoverColour(const wxColour& colour);

    bool isHovering() const { return mHovering; }

#ifdef TARVIO_TEST_SEAMS
    // Test builds hand the addresses that links would open to this instead of the browser.
    static void setBrowserForTesting(Function<void(const String&)> browser);
#endif

private:
    void onMouseEnter(wxMouseEvent& event);
    void onMouseLeave(wxMouseEvent& event);
    void onLeftUp(wxMouseEvent& event);

    Function<void()> mOnClick;
    wxColour mNormalColour;
    wxColour mHoverColour;
    bool mHovering = false;

    wxDECLARE_EVENT_TABLE();
};

} // namespace Tarvio::Wx
