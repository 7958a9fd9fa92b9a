#include "tarviolib/wx/controls/rawaborder.h"

#include <wx/dcclient.h>

namespace Tarvio {

void drawFrame(wxDC& dc, int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t frameFlags) {
    const bool flat = (frameFlags & FrameFlat) != 0;
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    int32_t l = left;
    int32_t t = top;
    int32_t r = right;
    int32_t b = bottom;
    if (!flat) {
        dc.SetPen(wxPen(wxColour(54, 54, 54), 1, wxPENSTYLE_SOLID));
        dc.DrawRectangle(l, t, r - l, b - t);
        ++l;
        ++t;
        --r;
        --b;
    }
    const bool hover = (frameFlags & FrameHover) && (frameFlags & FrameEnabled);
    dc.SetPen(wxPen(hover ? wxColour(0, 114, 188) : wxColour(37, 37, 37), 1, wxPENSTYLE_SOLID));
    dc.DrawRectangle(l, t, r - l, b - t);
    if (!flat) {
        // Over the outer frame's bottom row. The end point is not drawn: the row ends 70-grey at
        // its outer pixels and is 85-grey between them.
        dc.SetPen(wxPen(wxColour(70, 70, 70), 1, wxPENSTYLE_SOLID));
        dc.DrawLine(left, bottom - 1, right - left, bottom - top - 1);
        dc.SetPen(wxPen(wxColour(85, 85, 85), 1, wxPENSTYLE_SOLID));
        dc.DrawLine(left + 1, bottom - 1, right - left - 1, bottom - top - 1);
    }
}

RawaBorder::RawaBorder(wxWindow* parent, wxWindowID id, const wxString& name, uint32_t frameFlags)
    : wxPanel(parent, id, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL, name), mFrameFlags(frameFlags) {
    // The paint handler fills the background itself: a paint may come without an erase before it.
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &RawaBorder::onPaintFrame, this);
    Bind(wxEVT_ENTER_WINDOW, &RawaBorder::onMouseEnter, this);
    Bind(wxEVT_LEAVE_WINDOW, &RawaBorder::onMouseLeave, this);
}

bool RawaBorder::Enable(bool enable) {
    setFrameFlag(FrameEnabled, enable);
    return wxPanel::Enable(enable);
}

void RawaBorder::draw(wxDC& dc) {
    const wxSize size = dc.GetSize();
    drawFrame(dc, 0, 0, size.x, size.y, mFrameFlags);
}

void RawaBorder::setFrameFlag(uint32_t flag, bool set) {
    mFrameFlags = set ? (mFrameFlags | flag) : (mFrameFlags & ~flag);
}

void RawaBorder::onPaintFrame(wxPaintEvent&) {
    wxPaintDC dc(this);
    // Shown and then moved by its sizer's layout before it paints, the window is erased under Wine
    // in its old place only, and its paint in the new place comes without an erase: it would keep
    // whatever its parent had left there.
    dc.SetBackground(wxBrush(GetBackgroundColour()));
    dc.Clear();
    draw(dc);
}

void RawaBorder::onMouseEnter(wxMouseEvent&) {
    setFrameFlag(FrameHover, true);
    Refresh(true);
}

void RawaBorder::onMouseLeave(wxMouseEvent&) {
    setFrameFlag(FrameHover, false);
    Refresh(true);
}

} // namespace Tarvio
