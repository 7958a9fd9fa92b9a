#include "tarviolib/wx/controls/statictext.h"

#include "tarviolib/wx/controls/screenscaling.h"

#include <wx/bitmap.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/tokenzr.h>

#include <algorithm>

namespace Tarvio::Wx {

namespace {

// How wide one line of text is as it is drawn in the font, the blanks that end it included. Under
// Wine a line is drawn wider than GetTextExtent measures it (by up to a pixel a glyph, a few
// pixels a label), so a label exactly as wide as the measure loses its last glyph: the width is
// read off the drawing itself.
int32_t drawnWidth(const wxString& line, const wxFont& font) {
    wxMemoryDC dc;
    dc.SetFont(font);
    const wxSize extent = dc.GetTextExtent(line);
    const size_t lastGlyph = line.find_last_not_of(wxS(' '));
    if (extent.x <= 0 || extent.y <= 0 || lastGlyph == wxString::npos) {
        return extent.x;
    }
    const int32_t blanks = dc.GetTextExtent(line.substr(lastGlyph + 1)).x;
    wxBitmap picture(extent.x * 2 + 16, extent.y);
    dc.SelectObject(picture);
    dc.SetBackground(*wxBLACK_BRUSH);
    dc.Clear();
    dc.SetTextForeground(*wxWHITE);
    dc.DrawText(line.substr(0, lastGlyph + 1), 0, 0);
    dc.SelectObject(wxNullBitmap);
    const wxImage image = picture.ConvertToImage();
    for (int32_t x = image.GetWidth() - 1; x >= 0; --x) {
        for (int32_t y = 0; y < image.GetHeight(); ++y) {
            if (image.GetRed(x, y) != 0) {
                return std::max<int32_t>(extent.x, x + 1 + blanks);
            }
        }
    }
    return extent.x;
}

// Whether a narrower wrap can shorten the line: Wrap breaks a line only after a word that fits, so
// a line whose first word is wider than the width stays as it is, however narrow the wrap.
bool breakable(const wxString& line, const wxFont& font, int32_t width) {
    const wxString words = line.Strip(wxString::both);
    const int blank = words.Find(wxS(' '));
    return blank != wxNOT_FOUND && drawnWidth(words.Left(static_cast<size_t>(blank)), font) <= width;
}

// The width of the widest line as it is drawn; with breakableAt, the widest of the lines that a
// narrower wrap can shorten to that width.
int32_t widestDrawnLine(const wxString& text, const wxFont& font, int32_t breakableAt = -1) {
    int32_t widest = 0;
    wxStringTokenizer lines(text, wxS("\n"), wxTOKEN_RET_EMPTY_ALL);
    while (lines.HasMoreTokens()) {
        const wxString line = lines.GetNextToken();
        if (breakableAt < 0 || breakable(line, font, breakableAt)) {
            widest = std::max(widest, drawnWidth(line, font));
        }
    }
    return widest;
}

} // namespace

StaticText::StaticText(wxWindow* parent, wxWindowID id, const String& label, long style, int32_t fontFlags,
                       int32_t width, int32_t height)
    : TooltipWindow(this), mUnwrappedLabel(label) {
    Create(parent, id, wxString(label.text()), wxDefaultPosition, scaleSize(width, height), style, "staticText");
    Bind(wxEVT_PAINT, &StaticText::onPaint, this);
    SetFont(makeFont(GetFont(), fontFlags));
}

void StaticText::SetLabel(const wxString& label) {
    if (!mWrapping) {
        mUnwrappedLabel = String(label.wc_str());
    }
    wxStaticText::SetLabel(label);
}

void StaticText::rewrap(int32_t width) {
    wrapUnwrappedLabel(width);
    // Wrap measures the words, so a line it makes can be drawn wider than the width: the text is
    // wrapped again, narrower by the excess, until every line that can be broken fits. A width of 0
    // or less wraps nothing.
    for (int32_t wrapWidth = width; wrapWidth > 0;) {
        const int32_t excess = widestDrawnLine(GetLabelText(), GetFont(), width) - width;
        if (excess <= 0 || excess >= wrapWidth) {
            break;
        }
        wrapWidth -= excess;
        wrapUnwrappedLabel(wrapWidth);
    }
}

void StaticText::wrapUnwrappedLabel(int32_t width) {
    SetLabel(wxString(mUnwrappedLabel.text()));
    // Wrap sets the wrapped text through SetLabel, which must not take it for the unwrapped one.
    mWrapping = true;
    Wrap(width);
    mWrapping = false;
}

void StaticText::draw(wxDC& dc) {
    const wxSize size = GetClientSize();
    dc.DrawLabel(GetLabelText(), wxNullBitmap, wxRect(0, 0, size.x, size.y),
                 static_cast<int>(GetWindowStyleFlag() & wxALIGN_MASK), -1);
}

wxSize StaticText::DoGetBestClientSize() const {
    wxSize size = wxStaticText::DoGetBestClientSize();
    size.x = std::max(size.x, widestDrawnLine(GetLabelText(), GetFont()));
    return size;
}

void StaticText::onPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    draw(dc);
}

} // namespace Tarvio::Wx
