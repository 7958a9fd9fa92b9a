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

// The graphics context finds a font by its family among the installed ones and draws no text with a
// name that only the device context resolves, such as the toolkit's default "MS Shell Dlg": it gets
// the face that the device context really draws the font with.
wxFont CheckBox::installedFont(const wxDC& dc) {
    wchar_t face[LF_FACESIZE] = {};
    const HDC hdc = static_cast<HDC>(dc.GetHDC());
    if (hdc && GetTextFaceW(hdc, LF_FACESIZE, face) > 0) {
        wxFont installed(dc.GetFont());
        if (installed.SetFaceName(face)) {
            return installed;
        }
    }
    return dc.GetFont();
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
