#include "tarviolib/wx/controls/textbutton.h"

#include <wx/utils.h>

namespace Tarvio::Wx {

namespace {

#ifdef TARVIO_TEST_SEAMS
Function<void(const String&)>& testBrowser() {
    static Function<void(const String&)> browser;
    return browser;
}
#endif

void openInBrowser(const String& webAddress) {
#ifdef TARVIO_TEST_SEAMS
    if (testBrowser()) {
        testBrowser()(webAddress);
        return;
    }
#endif
    wxLaunchDefaultBrowser(wxString(webAddress.text()), 0);
}

} // namespace

wxBEGIN_EVENT_TABLE(TextButton, StaticText)
    EVT_ENTER_WINDOW(TextButton::onMouseEnter)
    EVT_LEAVE_WINDOW(TextButton::onMouseLeave)
    EVT_LEFT_UP(TextButton::onLeftUp)
wxEND_EVENT_TABLE()

TextButton::TextButton(wxWindow* parent, wxWindowID id, const String& label, const String& webAddress)
    : TextButton(parent, id, label, [webAddress] { openInBrowser(webAddress); }, wxDefaultPosition,
                 wxDefaultSize) {}

TextButton::TextButton(wxWindow* parent, wxWindowID id, const String& label, Function<void()> onClick,
                       const wxPoint& position, const wxSize& size)
    : StaticText(parent, id, label, 0, 0, size.x, size.y),
      mOnClick(std::move(onClick)),
      mNormalColour(GetForegroundColour()),
      mHoverColour(GetForegroundColour()) {
    SetSize(position.x, position.y, -1, -1);
}

void TextButton::setNormalColour(const wxColour& colour) {
    mNormalColour = colour;
    if (!mHovering) {
        SetForegroundColour(colour);
        Refresh(true);
    }
}

void TextButton::setHoverColour(const wxColour& colour) {
    mHoverColour = colour;
    if (mHovering) {
        SetForegroundColour(colour);
        Refresh(true);
    }
}

#ifdef TARVIO_TEST_SEAMS
void TextButton::setBrowserForTesting(Function<void(const String&)> browser) {
    testBrowser() = std::move(browser);
}
#endif

void TextButton::onMouseEnter(wxMouseEvent&) {
    mHovering = true;
    SetForegroundColour(mHoverColour);
    SetCursor(wxCursor(wxCURSOR_HAND));
    Refresh(true);
}

void TextButton::onMouseLeave(wxMouseEvent&) {
    mHovering = false;
    SetForegroundColour(mNormalColour);
    Refresh(true);
}

void TextButton::onLeftUp(wxMouseEvent&) {
    if (mOnClick) {
        mOnClick();
    }
}

} // namespace Tarvio::Wx
