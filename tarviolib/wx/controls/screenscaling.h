#pragma once

#include <wx/font.h>
#include <wx/gdicmn.h>

#include <cstdint>

namespace Tarvio::Wx {

// Interface sizes are written for a 96-DPI screen. The program declares no DPI awareness, so the
// screen's pixels per inch are those Windows reports to it (96 unless the user chose otherwise).

// length * horizontal pixels per inch / 96, rounded to nearest (halves away from zero); -1, the
// toolkit's "default", stays -1. The screen is asked each time.
int32_t scaled(int32_t length);

// Whether one written pixel becomes two or more on this screen (144 DPI and above).
bool isOnePixelTwoOrMore();

// Both components scaled with the horizontal pixels per inch; -1 stays -1.
wxSize scaleSize(int32_t width, int32_t height);

// Every control font's character height at 96 DPI.
inline constexpr int32_t controlFontHeight = 12;

// A copy of the font at the control font's height, controlFontHeight scaled pixels; its width is
// left to the face.
wxFont atControlHeight(const wxFont& font);

enum FontFlag : int32_t {
    FontBold = 1,
    FontItalic = 2,
};

// The control font: the given face at the control font's height, otherwise plain, then bold and
// italic as the FontFlag bits ask.
wxFont makeFont(const wxFont& font, int32_t fontFlags);

} // namespace Tarvio::Wx
