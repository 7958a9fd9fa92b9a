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

inline void expectWholeLabel(Wx::StaticText& label) {
    const std::string text(label.GetLabel().utf8_str());
    const wxSize size = label.GetClientSize();
    // Room enough to the right for whatever the label would draw beyond its width.
    wxBitmap picture(size.x * 2 + 100, size.y);
    wxMemoryDC dc(picture);
    dc.SetBackground(*wxBLACK_BRUSH);
    dc.Clear();
    dc.SetFont(label.GetFont());
    dc.SetTextForeground(*wxWHITE);
    label.draw(dc);
    // The blanks that end the text take the room they measure after the last glyph.
    const wxString shown = label.GetLabel();
    size_t lastGlyph = shown.find_last_not_of(wxS(" "));
    const int32_t blanks = lastGlyph == wxString::npos ? 0 : dc.GetTextExtent(shown.substr(lastGlyph + 1)).x;
    dc.SelectObject(wxNullBitmap);
    const wxImage image = picture.ConvertToImage();
    int32_t right = -1;
    for (int32_t x = 0; x < image.GetWidth(); ++x) {
        for (int32_t y = 0; y < image.GetHeight(); ++y) {
            if (image.GetRed(x, y) != 0) {
                right = x;
            }
        }
    }
    EXPECT_GE(right, 0) << "'" << text << "' shows no glyph";
    EXPECT_LT(right + blanks, size.x) << "'" << text << "' ends at " << right << " and " << blanks
                                      << " pixels of blanks, in a label " << size.x << " wide";
}

} // namespace Tarvio::Testing
