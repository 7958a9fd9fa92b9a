#include "tarviolib/core/exception.h"
#include "tarviolib/image/image.h"
#include "tests/tarviolib/image/imagefixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace Tarvio {
namespace {

std::string messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Exception& exception) {
        return exception.what();
    }
    return "no exception";
}

TEST(ImageFormatFromPath, TakesTheExtensionCaseBlind) {
    const struct {
        const char* path;
        ImageFormat format;
    } cases[] = {
        {"a/b.exr", ImageFormat::exr}, {"x.BMP", ImageFormat::bmp},  {"gui/bg0.png", ImageFormat::png},
        {"p.jpg", ImageFormat::jpg},   {"p.JPEG", ImageFormat::jpg}, {"p.gif", ImageFormat::gif},
        {"p.Tga", ImageFormat::tga},   {"p.tif", ImageFormat::tiff}, {"p.TIFF", ImageFormat::tiff},
        {"p.hdr", ImageFormat::hdr},   {"p.pic", ImageFormat::hdr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(imageFormatFromPath(Io::Path(c.path)), c.format) << c.path;
    }
}

TEST(ImageFormatFromPath, RefusesUnknownAndMissingExtensions) {
    EXPECT_EQ(messageOf([] { imageFormatFromPath(Io::Path("gui/logo.svg")); }),
              "Unrecognized bitmap format in filename \"gui/logo.svg\"");
    EXPECT_EQ(messageOf([] { imageFormatFromPath(Io::Path("gui/logo")); }),
              "Unrecognized bitmap format in filename \"gui/logo\"");
}

TEST(PixelFormatTable, GivesChannelsAndBytesAndStopsOutsideIt) {
    const int32_t channels[] = {0, 3, 4, 3, 4, 1, 1, 3};
    const int32_t bytes[] = {0, 3, 4, 12, 16, 1, 4, 4};
    for (int32_t i = 0; i < 8; ++i) {
        EXPECT_EQ(channelCount(PixelFormat(i)), channels[i]);
        EXPECT_EQ(bytesPerPixel(PixelFormat(i)), bytes[i]);
    }
    EXPECT_EQ(messageOf([] { channelCount(PixelFormat(8)); }), "STOP@tarviolib/image/image(36)");
    EXPECT_EQ(messageOf([] { bytesPerPixel(PixelFormat(-1)); }), "STOP@tarviolib/image/image(59)");
    EXPECT_EQ(ImageFormatNames.name(ImageFormat::tiff), "tiff");
    EXPECT_EQ(ImageFormatNames.name(ImageFormat::determineFromExt), "determineFromExt");
}

Image onePixel(PixelFormat format, float gamma, const void* bytes) {
    Image image(1, 1, format, gamma);
    std::memcpy(image.pixels().data(), bytes, static_cast<std::size_t>(bytesPerPixel(format)));
    return image;
}

TEST(ImagePixel, ConvertsEveryFormatToFourChannels) {
    const uint8_t rgb8[] = {255, 0, 51};
    const uint8_t rgba8[] = {0, 255, 0, 128};
    const float rgbFloat[] = {2.0f, -1.0f, 0.5f};
    const float rgbaFloat[] = {0.25f, 0.5f, 0.75f, 0.125f};
    const uint8_t gray8[] = {51};
    const float grayFloat[] = {3.5f};
    const uint8_t rgbe[] = {128, 64, 0, 129};
    const struct {
        PixelFormat format;
        const void* bytes;
        std::array<float, 4> expected;
    } cases[] = {
        {PixelFormat::Rgb8, rgb8, {1.0f, 0.0f, 0.2f, 1.0f}},
        {PixelFormat::Rgba8, rgba8, {0.0f, 1.0f, 0.0f, 128 / 255.0f}},
        {PixelFormat::RgbFloat, rgbFloat, {2.0f, -1.0f, 0.5f, 1.0f}},
        {PixelFormat::RgbaFloat, rgbaFloat, {0.25f, 0.5f, 0.75f, 0.125f}},
        {PixelFormat::Gray8, gray8, {0.2f, 0.2f, 0.2f, 1.0f}},
        {PixelFormat::GrayFloat, grayFloat, {3.5f, 3.5f, 3.5f, 1.0f}},
        {PixelFormat::Rgbe, rgbe, {128.5f / 128, 64.5f / 128, 0.5f / 128, 1.0f}},
    };
    for (const auto& c : cases) {
        const auto pixel = onePixel(c.format, 1.0f, c.bytes).pixel(0, 0);
        for (int i = 0; i < 4; ++i) {
            EXPECT_FLOAT_EQ(pixel[i], c.expected[i]) << int(c.format) << " channel " << i;
        }
    }
}

TEST(ImagePixel, RaisesEveryChannelToTheGamma) {
    const uint8_t red[] = {255, 0, 0};
    const auto opaque = onePixel(PixelFormat::Rgb8, 2.2f, red).pixel(0, 0);
    EXPECT_FLOAT_EQ(opaque[0], 1.0f);
    EXPECT_FLOAT_EQ(opaque[1], 0.0f);
    EXPECT_FLOAT_EQ(opaque[3], 1.0f);
    const uint8_t half[] = {255, 255, 255, 128};
    EXPECT_FLOAT_EQ(onePixel(PixelFormat::Rgba8, 2.2f, half).pixel(0, 0)[3], std::pow(128 / 255.0f, 2.2f));
}

TEST(ImagePixel, TakesAGammaThatIsNoPositiveNumberAsOne) {
    const uint8_t gray[] = {51};
    for (const float gamma : {0.0f, -2.0f, std::numeric_limits<float>::quiet_NaN(),
                              std::numeric_limits<float>::infinity()}) {
        const Image image = onePixel(PixelFormat::Gray8, gamma, gray);
        EXPECT_EQ(image.effectiveGamma(), 1.0f);
        EXPECT_FLOAT_EQ(image.pixel(0, 0)[0], 0.2f) << gamma;
    }
}

TEST(ImagePixel, StopsForAnImageWithoutFormat) {
    Image image;
    EXPECT_EQ(messageOf([&image] { image.pixel(0, 0); }), "STOP@tarviolib/image/image(154)");
}

TEST(ImageFlip, ExchangesRowsAroundTheMiddle) {
    Image one(2, 1, PixelFormat::Gray8, 1.0f);
    one.pixels()[0] = 1;
    one.pixels()[1] = 2;
    one.flipVertically();
    EXPECT_EQ(one.pixels()[0], 1);
    EXPECT_EQ(one.pixels()[1], 2);

    Image three(1, 3, PixelFormat::Rgb8, 1.0f);
    for (int i = 0; i < 9; ++i) {
        three.pixels()[i] = static_cast<uint8_t>(i);
    }
    three.flipVertically();
    const uint8_t expected[] = {6, 7, 8, 3, 4, 5, 0, 1, 2};
    EXPECT_EQ(std::memcmp(three.pixels().data(), expected, 9), 0);
}

TEST(ImageSize, RefusesBlocksBeyondTheCapBeforeAllocating) {
    EXPECT_EQ(messageOf([] { Image(65535, 65535, PixelFormat::RgbaFloat, 1.0f); }), "Image too large.");
    EXPECT_EQ(messageOf([] { Image(0, 5, PixelFormat::Rgb8, 1.0f); }), "Image too large.");
}

TEST(Rgbe, ConvertsBothWays) {
    const uint8_t black[] = {200, 100, 50, 0};
    EXPECT_EQ(rgbeToFloat(black), (std::array<float, 3>{0, 0, 0}));
    EXPECT_EQ(floatToRgbe(0, 0, 0), (std::array<uint8_t, 4>{0, 0, 0, 0}));
    // 1.0 is mantissa 0.5, exponent 1: 0.5 x 255.9999 / 1.
    EXPECT_EQ(floatToRgbe(1.0f, 0.5f, -3.0f), (std::array<uint8_t, 4>{127, 63, 0, 129}));
    const uint8_t stored[] = {127, 63, 0, 129};
    const auto back = rgbeToFloat(stored);
    EXPECT_FLOAT_EQ(back[0], 127.5f / 128);
    EXPECT_FLOAT_EQ(back[2], 0.5f / 128);
}

TEST(Rgbe, KeepsNonFiniteValuesInRange) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    EXPECT_EQ(floatToRgbe(nan, nan, nan), (std::array<uint8_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(floatToRgbe(infinity, 0, 0), (std::array<uint8_t, 4>{255, 255, 255, 255}));
    EXPECT_EQ(floatToRgbe(1e38f, 0, 0)[3], 255);
}

// A picture inside a larger stream (a file of a pack, say) is read from the stream's position:
// every offset it holds counts from its own first byte.
TEST(ImageLoad, ReadsFromTheStreamsPosition) {
    const std::string hdr = "#?RADIANCE\n\n-Y 1 +X 2\n";
    Testing::TiffPicture tiff;
    tiff.samples8 = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    Testing::ExrPicture tiledExr;
    tiledExr.tileSize = 16;
    const struct {
        const char* name;
        std::vector<uint8_t> file;
        ImageFormat format;
    } cases[] = {
        {"TGA", {0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 8, 0, 7, 9}, ImageFormat::tga},
        {"Radiance HDR", [&] {
             std::vector<uint8_t> bytes(hdr.begin(), hdr.end());
             bytes.insert(bytes.end(), {1, 2, 3, 128, 4, 5, 6, 129});
             return bytes;
         }(), ImageFormat::hdr},
        {"TIFF", Testing::writeTiff(tiff), ImageFormat::tiff},
        {"EXR", Testing::writeExr(Testing::ExrPicture{}), ImageFormat::exr},
        {"tiled EXR", Testing::writeExr(tiledExr), ImageFormat::exr},
    };
    for (const auto& c : cases) {
        const Result<Image> alone = Testing::decode(c.file, c.format);
        ASSERT_TRUE(alone.ok()) << c.name << ": " << alone.error();
        const Result<Image> inside = Testing::decode(c.file, c.format, 37);
        if (!inside.ok()) {
            ADD_FAILURE() << c.name << ": " << inside.error();
            continue;
        }
        EXPECT_EQ(inside.value().width(), alone.value().width()) << c.name;
        EXPECT_EQ(inside.value().height(), alone.value().height()) << c.name;
        EXPECT_EQ(inside.value().format(), alone.value().format()) << c.name;
        const ByteBuffer& expected = alone.value().pixels();
        const ByteBuffer& pixels = inside.value().pixels();
        EXPECT_TRUE(std::equal(pixels.data(), pixels.data() + pixels.size(), expected.data(),
                               expected.data() + expected.size()))
            << c.name;
    }
}

} // namespace
} // namespace Tarvio
