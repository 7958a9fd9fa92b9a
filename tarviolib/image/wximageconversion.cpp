#include "tarviolib/image/wximageconversion.h"

#include <wx/log.h>
#include <wx/mstream.h>

#include <cmath>

namespace Tarvio {

namespace {

unsigned char toByte(float value) {
    // The comparisons are false for NaN, which thus becomes 0.
    const float clamped = value > 0.0f ? (value < 1.0f ? value : 1.0f) : 0.0f;
    return static_cast<unsigned char>(std::nearbyint(clamped * 255.0f));
}

} // namespace

wxImage toWxImage(const Image& image) {
    wxImage result(image.width(), image.height(), true);
    const bool alpha = image.format() == PixelFormat::Rgba8 || image.format() == PixelFormat::RgbaFloat;
    if (alpha) {
        result.SetAlpha();
    }
    const float inverse = 1.0f / image.effectiveGamma();
    for (int32_t y = 0; y < image.height(); ++y) {
        const int32_t row = image.height() - 1 - y;
        for (int32_t x = 0; x < image.width(); ++x) {
            std::array<float, 4> c = image.pixel(x, y);
            if (inverse != 1.0f) {
                for (float& channel : c) {
                    channel = std::pow(channel, inverse);
                }
            }
            result.SetRGB(x, row, toByte(c[0]), toByte(c[1]), toByte(c[2]));
            if (alpha) {
                result.SetAlpha(x, row, toByte(c[3]));
            }
        }
    }
    return result;
}

wxBitmap bitmapFromEmbeddedData(const void* data, int32_t size, wxBitmapType type) {
    wxImage image;
    {
        const wxLogNull quiet;
        wxMemoryInputStream stream(data, static_cast<size_t>(size));
        image.LoadFile(stream, type, -1);
    }
    // A bitmap made from an invalid image would assert; the invalid bitmap says the same quietly.
    return image.IsOk() ? wxBitmap(image, -1) : wxBitmap();
}

} // namespace Tarvio
