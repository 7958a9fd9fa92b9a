#pragma once

// Whether a label shows its whole text: its glyphs, and the blanks after them, drawn by its own
// paint code, all lie within its client area, however far the platform draws them beyond the
// text's measured extent (Wine: a pixel or two).

#include "tarviolib/wx/controls/statictext.h"

#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/image.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace Tarvio::Testing {

// What the control's own draw(wxDC&) paints, white on black, in a picture of the given width and
// the control's height.
template <typename Control>
wxImage drawnPicture(Control& control, int32_t width) {
    wxBitmap picture(width, control.GetClientSize().y);
    {
        wxMemoryDC dc(picture);
        dc.SetBackground(*wxBLACK_BRUSH);
        dc.Clear();
        dc.SetFont(control.GetFont());
        dc.SetTextForeground(*wxWHITE);
        control.draw(dc);
    }
    return picture.ConvertToImage();
}

// The last column with a pixel whose red reaches the threshold; -1 when there is none.
inline int32_t rightmostLit(const wxImage& image, unsigned char threshold) {
    int32_t right = -1;
    for (int32_t x = 0; x < image.GetWidth(); ++x) {
        for (int32_t y = 0; y < image.GetHeight(); ++y) {
            if (image.GetRed(x, y) >= threshold) {
                right = x;
            }
        }
    }
    return right;
}

inline void expectWholeLabel(Wx::StaticText& label) {
    const std::string text(label.GetLabel().utf8_str());
    const wxSize size = label.GetClientSize();
    // Room enough to the right for whatever the label would draw beyond its width.
    const int32_t right = rightmostLit(drawnPicture(label, size.x * 2 + 100), 1);
    // The blanks that end the text take the room they measure after the last glyph.
    const wxString shown = label.GetLabel();
    size_t lastGlyph = shown.find_last_not_of(wxS(" "));
    const int32_t blanks = lastGlyph == wxString::npos ? 0 : label.GetTextExtent(shown.substr(lastGlyph + 1)).x;
    EXPECT_GE(right, 0) << "'" << text << "' shows no glyph";
    EXPECT_LT(right + blanks, size.x) << "'" << text << "' ends at " << right << " and " << blanks
                                      << " pixels of blanks, in a label " << size.x << " wide";
}

} // namespace Tarvio::Testing
