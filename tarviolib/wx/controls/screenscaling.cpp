#include "tarviolib/wx/controls/screenscaling.h"

namespace Tarvio::Wx {

bool isOnePixelTwoOrMore() {
    return scaled(1) >= 2;
}

wxSize scaleSize(int32_t width, int32_t height) {
    return wxSize(scaled(width), scaled(height));
}

wxFont makeFont(const wxFont& font, int32_t fontFlags) {
    wxFont result(font);
    result.SetPixelSize(wxSize(0, scaled(12)));
    result = result.GetBaseFont();
    if (fontFlags & FontBold) {
        result.MakeBold();
    }
    if (fontFlags & FontItalic) {
        result.MakeItalic();
    }
    return result;
}

} // namespace Tarvio::Wx
