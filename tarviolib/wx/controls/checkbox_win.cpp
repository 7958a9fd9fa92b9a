#include "tarviolib/wx/controls/checkbox.h"

#include <wx/msw/dc.h>
#include <wx/msw/private.h>

namespace Tarvio::Wx {

// The control draws nothing of its own: the platform's requests come here, and paints go to the
// paint handler.
void CheckBox::makeOwnerDrawn() {
    const HWND window = GetHwnd();
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    SetWindowLongW(window, GWL_STYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW);
}

bool CheckBox::MSWOnDraw(WXDRAWITEMSTRUCT* item) {
    const DRAWITEMSTRUCT* drawItem = reinterpret_cast<DRAWITEMSTRUCT*>(item);
    wxDCTemp dc(reinterpret_cast<WXHDC>(drawItem->hDC), GetClientSize());
    dc.SetFont(GetFont());
    dc.SetTextForeground(GetForegroundColour());
    dc.SetBackground(wxBrush(GetBackgroundColour()));
    dc.Clear();
    draw(dc);
    return true;
}

} // namespace Tarvio::Wx
