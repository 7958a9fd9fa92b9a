#include "tarviolib/wx/controls/screenscaling.h"

namespace Tarvio::Wx {

bool isOnePixelTwoOrMore() {
    return scaled(1) >= 2;
}

wxSize scaleSize(int32_t width, int32_t height) {
    return wxSize(scaled(width), scaled(height));
}

wxFont atControlHeight(const wxFont& font) {
    wxFont sized(font);
    sized.SetPixelSize(wxSize(0, scaled(controlFontHeight)));
    return sized;
}

wxFont makeFont(const wxFont& font, int32_t fontFlags) {
    wxFont result = atControlHeight(font).GetBaseFont();
    if (fontFlags & FontBold) {
        result.MakeBold();
    }
    if (fontFlags & FontItalic) {
        result.MakeItalic();
    }
    return result;
}

} // namespace Tarvio::Wx
