#include "tarviolib/image/image.h"
#include "tarviolib/io/memoryinputstream.h"
#include "tests/tarviolib/image/imagefixtures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Tarvio {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes hdr(const std::string& header, const Bytes& data) {
    Bytes bytes(header.begin(), header.end());
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

Result<Image> load(const Bytes& bytes) {
    return Testing::decode(bytes, ImageFormat::hdr);
}

// Pixel i of the file is (i, 0, 0, 128): its red mantissa tells where it went.
Bytes numbered(int count) {
    Bytes bytes;
    for (int i = 0; i < count; ++i) {
        bytes.insert(bytes.end(), {uint8_t(i + 1), 0, 0, 128});
    }
    return bytes;
}

// The red mantissas of the image, row 0 (the bottom) first.
Bytes reds(const Image& image) {
    Bytes result;
    for (int64_t i = 0; i < image.pixels().size(); i += 4) {
        result.push_back(image.pixels()[i]);
    }
    return result;
}

TEST(RadianceHdrLoader, PlacesScanlinesAsTheResolutionLineSays) {
    const struct {
        const char* resolution;
        int32_t width;
        int32_t height;
        Bytes reds;
    } cases[] = {
        // The usual orientation: the first scanline is the top row.
        {"-Y 2 +X 3", 3, 2, {4, 5, 6, 1, 2, 3}},
        {"+Y 2 +X 3", 3, 2, {1, 2, 3, 4, 5, 6}},
        {"-Y 2 -X 3", 3, 2, {6, 5, 4, 3, 2, 1}},
        // X first: scanlines are columns, read from the top row down.
        {"+X 3 -Y 2", 3, 2, {2, 4, 6, 1, 3, 5}},
        {"-X 3 +Y 2", 3, 2, {5, 3, 1, 6, 4, 2}},
    };
    for (const auto& c : cases) {
        const Result<Image> image = load(hdr(std::string("#?RADIANCE\n\n") + c.resolution + "\n", numbered(6)));
        ASSERT_TRUE(image.ok()) << c.resolution << ": " << image.error();
        EXPECT_EQ(image.value().format(), PixelFormat::Rgbe);
        EXPECT_EQ(image.value().width(), c.width) << c.resolution;
        EXPECT_EQ(image.value().height(), c.height) << c.resolution;
        EXPECT_EQ(reds(image.value()), c.reds) << c.resolution;
    }
}

TEST(RadianceHdrLoader, DecodesRunLengthScanlinesByComponent) {
    const Bytes data = {2, 2, 0, 3, 0x83, 10, 3, 1, 2, 3, 0x82, 5, 1, 6, 0x83, 128};
    const Result<Image> image = load(hdr("#?RGBE\n# made by hand\nFORMAT=32-bit_rle_rgbe\nOTHER = x\n\n-Y 1 +X 3\n", data));
    ASSERT_TRUE(image.ok()) << image.error();
    EXPECT_EQ(reds(image.value()), (Bytes{10, 10, 10}));
    const Bytes expected = {10, 1, 5, 128, 10, 2, 5, 128, 10, 3, 6, 128};
    EXPECT_EQ(Bytes(image.value().pixels().data(), image.value().pixels().data() + 12), expected);
    EXPECT_EQ(image.value().gamma(), 1.0f);
}

TEST(RadianceHdrLoader, RepeatsOldStylePixelsWithGrowingShifts) {
    Bytes data = {7, 0, 0, 128, 1, 1, 1, 1, 1, 1, 1, 1};
    const Result<Image> image = load(hdr("#?RADIANCE\n\n-Y 1 +X 258\n", data));
    ASSERT_TRUE(image.ok()) << image.error();
    EXPECT_EQ(reds(image.value()), Bytes(258, 7));
}

TEST(RadianceHdrLoader, AppliesExposureAndGamma) {
    const Bytes pixel = {128, 64, 32, 129};
    const struct {
        const char* header;
        Bytes expected;
        float gamma;
    } cases[] = {
        {"EXPOSURE=2\nEXPOSURE= 0.5\n", pixel, 1.0f},
        {"EXPOSURE=2\n", {128, 64, 32, 128}, 1.0f},
        {"EXPOSURE=0\n", pixel, 1.0f},
        {"GAMMA=1.8\n", pixel, 1.8f},
    };
    for (const auto& c : cases) {
        const Result<Image> image = load(hdr(std::string("#?RADIANCE\n") + c.header + "\n-Y 1 +X 1\n", pixel));
        ASSERT_TRUE(image.ok()) << c.header << image.error();
        EXPECT_EQ(Bytes(image.value().pixels().data(), image.value().pixels().data() + 4), c.expected) << c.header;
        EXPECT_EQ(image.value().gamma(), c.gamma) << c.header;
    }
}

TEST(RadianceHdrLoader, RefusesDamagedFilesWithTheirMessage) {
    const char* Corrupted = "Not a Radiance HDR file. Corrupted data.";
    const char* Resolution = "Not a Radiance HDR file. Invalid header line that specifies the image resolution.";
    const char* ShortData = "Could not load object from the stream.";
    const std::string start = "#?RADIANCE\n\n";
    const struct {
        const char* name;
        Bytes file;
        const char* message;
    } cases[] = {
        {"empty", {}, "'#?RADIANCE'/'#?RGBE' missing in the header"},
        {"CR LF lines", hdr("#?RADIANCE\r\n\r\n-Y 1 +X 1\r\n", numbered(1)), "'#?RADIANCE'/'#?RGBE' missing in the header"},
        {"header without end", hdr("#?RADIANCE\n", {}), "Not a Radiance HDR file. Eof reached while parsing the header."},
        {"other format", hdr("#?RADIANCE\nFORMAT= 32-bit_rle_xyze\n\n", {}),
         "Unsupported Radiance HDR file format: 32-bit_rle_xyze"},
        {"no resolution line", hdr(start, {}), "Not a Radiance HDR file. Invalid header."},
        {"empty resolution line", hdr(start + "\n", {}), "Not a Radiance HDR file. Invalid header."},
        {"leading zero", hdr(start + "-Y 2 +X 03\n", numbered(6)), Resolution},
        {"trailing blank", hdr(start + "-Y 2 +X 3 \n", numbered(6)), Resolution},
        {"long line", hdr(start + "-Y 2 +X 3" + std::string(100000, '0') + "\n", {}), Resolution},
        {"overflowing size", hdr(start + "-Y 9999999999 +X 1\n", Bytes(64, 0)), Corrupted},
        {"far overflowing size", hdr(start + "+X 44444444444444444444441 -Y 3\n", Bytes(64, 0)), Corrupted},
        {"size beyond the cap", hdr(start + "-Y 30000 +X 30000\n", Bytes(120000, 0)), Corrupted},
        {"size beyond the data", hdr(start + "-Y 30000 +X 30000\n", Bytes(64, 0)), ShortData},
        {"run-length scanline of another length", hdr(start + "-Y 1 +X 3\n", {2, 2, 0, 4, 0x84, 1}), Corrupted},
        {"run past the scanline", hdr(start + "-Y 1 +X 3\n", {2, 2, 0, 3, 0x84, 1}), Corrupted},
        {"literal past the scanline", hdr(start + "-Y 1 +X 3\n", {2, 2, 0, 3, 4, 1, 2, 3, 4}), Corrupted},
        {"repeat first", hdr(start + "-Y 1 +X 3\n", {1, 1, 1, 1, 5, 5, 5, 5}), Corrupted},
        {"repeat past the row", hdr(start + "-Y 1 +X 3\n", {5, 5, 5, 5, 1, 1, 1, 5}), Corrupted},
        {"repeat count beyond 32 bits",
         hdr(start + "-Y 1 +X 3\n", {5, 5, 5, 5, 1, 1, 1, 0, 1, 1, 1, 0, 1, 1, 1, 0, 1, 1, 1, 0, 1, 1, 1, 255}),
         Corrupted},
        {"data end inside a scanline", hdr(start + "-Y 2 +X 3\n", numbered(4)), ShortData},
    };
    for (const auto& c : cases) {
        const Result<Image> image = load(c.file);
        ASSERT_FALSE(image.ok()) << c.name;
        EXPECT_EQ(image.error(), c.message) << c.name;
    }
}

} // namespace
} // namespace Tarvio
