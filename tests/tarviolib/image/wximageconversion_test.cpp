#include "tarviolib/image/wximageconversion.h"
#include "tests/tarviolib/image/imagefixtures.h"

#include "tests/support/libraryenvironment.h"

#include <gtest/gtest.h>
#include <wx/mstream.h>

#include <cstring>
#include <limits>
#include <vector>

namespace Tarvio {
namespace {

template <typename T>
Image imageOf(int32_t width, int32_t height, PixelFormat format, float gamma, const std::vector<T>& values) {
    Image image(width, height, format, gamma);
    std::memcpy(image.pixels().data(), values.data(), static_cast<std::size_t>(image.pixels().size()));
    return image;
}

// R, G, B (and A) of the toolkit image, top row first.
std::vector<int> channelsOf(const wxImage& image) {
    std::vector<int> channels;
    for (int y = 0; y < image.GetHeight(); ++y) {
        for (int x = 0; x < image.GetWidth(); ++x) {
            channels.insert(channels.end(), {image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y)});
            if (image.HasAlpha()) {
                channels.push_back(image.GetAlpha(x, y));
            }
        }
    }
    return channels;
}

TEST(ToWxImage, WritesRowZeroAsTheLastRowWithTheInverseGamma) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<uint8_t> everyByte;
    for (int i = 0; i < 256; ++i) {
        everyByte.push_back(static_cast<uint8_t>(i));
    }
    std::vector<int> everyValue(everyByte.begin(), everyByte.end());
    const struct {
        const char* name;
        Image image;
        bool alpha;
        std::vector<int> channels;
    } cases[] = {
        {"Rgba8 keeps its bytes", imageOf<uint8_t>(64, 1, PixelFormat::Rgba8, 2.2f, everyByte), true, everyValue},
        {"rows flipped", imageOf<uint8_t>(2, 2, PixelFormat::Rgb8, 2.2f, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}),
         false, {7, 8, 9, 10, 11, 12, 1, 2, 3, 4, 5, 6}},
        {"floats clamped", imageOf<float>(2, 1, PixelFormat::RgbFloat, 1.0f, {2.0f, -1.0f, 0.5f, nan, 1.0f, 0.0f}),
         false, {255, 0, 128, 0, 255, 0}},
        {"float alpha", imageOf<float>(1, 1, PixelFormat::RgbaFloat, 1.0f, {0.25f, 0.5f, 0.75f, 0.5f}), true,
         {64, 128, 191, 128}},
        {"grey with a gamma of NaN", imageOf<uint8_t>(2, 1, PixelFormat::Gray8, nan, {0, 200}), false,
         {0, 0, 0, 200, 200, 200}},
        {"grey floats with gamma 2", imageOf<float>(1, 1, PixelFormat::GrayFloat, 2.0f, {0.25f}), false,
         {64, 64, 64}},
        {"RGBE", imageOf<uint8_t>(1, 1, PixelFormat::Rgbe, 1.0f, {127, 64, 200, 129}), false, {254, 128, 255}},
    };
    for (const auto& c : cases) {
        const wxImage converted = toWxImage(c.image);
        ASSERT_TRUE(converted.IsOk()) << c.name;
        EXPECT_EQ(converted.GetWidth(), c.image.width()) << c.name;
        EXPECT_EQ(converted.GetHeight(), c.image.height()) << c.name;
        EXPECT_EQ(converted.HasAlpha(), c.alpha) << c.name;
        EXPECT_EQ(channelsOf(converted), c.channels) << c.name;
    }
}

TEST(BitmapFromEmbeddedData, DecodesPicturesAndGivesAnInvalidBitmapForOthers) {
    wxImage picture(5, 3);
    picture.SetRGB(wxRect(0, 0, 5, 3), 10, 200, 30);
    wxMemoryOutputStream out;
    ASSERT_TRUE(picture.SaveFile(out, wxBITMAP_TYPE_PNG));
    std::vector<uint8_t> png(out.GetSize());
    out.CopyTo(png.data(), png.size());

    for (const wxBitmapType type : {wxBITMAP_TYPE_PNG, wxBITMAP_TYPE_ANY}) {
        const wxBitmap bitmap = bitmapFromEmbeddedData(png.data(), static_cast<int32_t>(png.size()), type);
        ASSERT_TRUE(bitmap.IsOk()) << type;
        EXPECT_EQ(bitmap.GetWidth(), 5);
        EXPECT_EQ(bitmap.GetHeight(), 3);
    }
    const std::vector<uint8_t> garbage(64, 'x');
    EXPECT_FALSE(bitmapFromEmbeddedData(garbage.data(), 64, wxBITMAP_TYPE_PNG).IsOk());
    EXPECT_FALSE(bitmapFromEmbeddedData(png.data(), static_cast<int32_t>(png.size() / 2), wxBITMAP_TYPE_ANY).IsOk());
}

} // namespace
} // namespace Tarvio
