#include "tarviolib/wx/controls/screenscaling.h"

#include <windows.h>

namespace Tarvio::Wx {

namespace {

int32_t screenPixelsPerInch(int index) {
    const HDC screen = GetDC(nullptr);
    const int32_t pixelsPerInch = GetDeviceCaps(screen, index);
    ReleaseDC(nullptr, screen);
    return pixelsPerInch;
}

} // namespace

int32_t scaled(int32_t length) {
    if (length == -1) {
        return -1;
    }
    return MulDiv(length, screenPixelsPerInch(LOGPIXELSX), 96);
}

} // namespace Tarvio::Wx
