#pragma once

#include <wx/dc.h>
#include <wx/panel.h>

#include <cstdint>

namespace Tarvio {

// The bits of a skinned frame's look.
enum FrameFlag : uint32_t {
    FrameHover = 2,   // the mouse is over the control
    FrameEnabled = 4,
    FrameFlat = 8,    // no outer frame and no bottom edge
};

// The skinned frame over (left, top, right, bottom): a dark outer line, an inner line that is blue
// while the mouse is over an enabled control, and a lighter bottom edge.
void drawFrame(wxDC& dc, int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t frameFlags);

// A panel that paints its background colour and the skinned frame round its client area, and
// follows the mouse.
class RawaBorder : public wxPanel {
public:
    RawaBorder(wxWindow* parent, wxWindowID id, const wxString& name, uint32_t frameFlags);

    bool Enable(bool enable = true) override;

    uint32_t frameFlags() const { return mFrameFlags; }

    // Paints the whole control; device contexts other than the paint one serve tests.
    virtual void draw(wxDC& dc);

protected:
    void setFrameFlag(uint32_t flag, bool set);

private:
    void onPaintFrame(wxPaintEvent& event);
    void onMouseEnter(wxMouseEvent& event);
    void onMouseLeave(wxMouseEvent& event);

    uint32_t mFrameFlags;
};

} // namespace Tarvio
