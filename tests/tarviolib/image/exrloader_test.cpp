#include "tarviolib/image/image.h"
#include "tarviolib/io/memoryinputstream.h"
#include "tests/tarviolib/image/imagefixtures.h"

#include <gtest/gtest.h>

#include <ImfCompression.h>

#include <string>
#include <vector>

namespace Tarvio {
namespace {

using Testing::ExrPicture;
using Bytes = std::vector<uint8_t>;

Result<Image> load(const Bytes& bytes) {
    return Testing::decode(bytes, ImageFormat::exr);
}

ExrPicture picture(std::vector<std::string> channels) {
    ExrPicture p;
    p.channels = std::move(channels);
    return p;
}

TEST(ExrLoader, ChoosesChannelsAndPlacesScanlinesByLineOrder) {
    ExrPicture window = picture({"R", "G", "B"});
    window.minX = 10;
    window.minY = 20;
    window.maxX = 13;
    window.maxY = 21;
    ExrPicture decreasing = window;
    decreasing.increasingY = false;
    ExrPicture halfZip = picture({"R", "G", "B", "A"});
    halfZip.halfChannels = {"R", "A"};
    halfZip.compression = Imf::ZIP_COMPRESSION;
    halfZip.maxX = 40;
    halfZip.maxY = 30;
    const struct {
        const char* name;
        ExrPicture picture;
        PixelFormat format;
        // The written channel each image channel comes from.
        std::vector<int> sources;
    } cases[] = {
        {"B, G, R", picture({"B", "G", "R"}), PixelFormat::RgbFloat, {2, 1, 0}},
        {"R, G, B, A and others", picture({"Z", "A", "B", "G", "R"}), PixelFormat::RgbaFloat, {4, 3, 2, 1}},
        {"one channel", picture({"Z"}), PixelFormat::GrayFloat, {0}},
        {"data window, increasing y", window, PixelFormat::RgbFloat, {0, 1, 2}},
        {"data window, decreasing y", decreasing, PixelFormat::RgbFloat, {0, 1, 2}},
        {"halves, zip", halfZip, PixelFormat::RgbaFloat, {0, 1, 2, 3}},
    };
    for (const auto& c : cases) {
        const Result<Image> image = load(Testing::writeExr(c.picture));
        ASSERT_TRUE(image.ok()) << c.name << ": " << image.error();
        const Image& decoded = image.value();
        const ExrPicture& p = c.picture;
        EXPECT_EQ(decoded.format(), c.format) << c.name;
        EXPECT_EQ(decoded.gamma(), 1.0f) << c.name;
        ASSERT_EQ(decoded.width(), p.maxX - p.minX + 1) << c.name;
        ASSERT_EQ(decoded.height(), p.maxY - p.minY + 1) << c.name;
        for (int32_t row = 0; row < decoded.height(); ++row) {
            // Increasing-y files are flipped so that their last scanline is row 0.
            const int y = p.increasingY ? p.maxY - row : p.minY + row;
            for (int32_t column = 0; column < decoded.width(); ++column) {
                const float* out = reinterpret_cast<const float*>(decoded.pixelAt(column, row));
                for (std::size_t ch = 0; ch < c.sources.size(); ++ch) {
                    ASSERT_EQ(out[ch], Testing::exrValue(p, c.sources[ch], p.minX + column, y))
                        << c.name << " row " << row << " column " << column << " channel " << ch;
                }
            }
        }
    }
}

TEST(ExrLoader, RefusesWhatItCannotReadWithItsMessage) {
    const Result<Image> noBlue = load(Testing::writeExr(picture({"R", "G", "A"})));
    ASSERT_FALSE(noBlue.ok());
    EXPECT_EQ(noBlue.error(), "Unsupported EXR channel set.");

    ExrPicture big = picture({"R", "G", "B"});
    big.maxX = 63;
    big.maxY = 63;
    const Bytes whole = Testing::writeExr(big);
    const struct {
        const char* name;
        Bytes file;
    } cases[] = {
        {"not an EXR", Bytes(100, 'x')},
        {"cut in the header", Bytes(whole.begin(), whole.begin() + 40)},
        {"cut in the pixels", Bytes(whole.begin(), whole.end() - 1000)},
        {"empty", {}},
    };
    for (const auto& c : cases) {
        const Result<Image> image = load(c.file);
        ASSERT_FALSE(image.ok()) << c.name;
        EXPECT_EQ(image.error().substr(0, 20), "Failed to load EXR (") << c.name << ": " << image.error();
        EXPECT_EQ(image.error()[image.error().size() - 1], L'.') << c.name;
    }
}

} // namespace
} // namespace Tarvio
