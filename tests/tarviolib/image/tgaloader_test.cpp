#include "tarviolib/image/image.h"
#include "tarviolib/io/memoryinputstream.h"
#include "tests/tarviolib/image/imagefixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

namespace Tarvio {
namespace {

using Bytes = std::vector<uint8_t>;

struct Header {
    uint8_t type = 2;
    uint8_t depth = 24;
    uint16_t width = 2;
    uint16_t height = 2;
    uint8_t descriptor = 0;
    uint8_t mapType = 0;
    uint16_t firstEntry = 0;
    uint16_t mapLength = 0;
    uint8_t entryBits = 0;
    uint8_t idLength = 0;
};

Bytes tga(const Header& h, const Bytes& rest) {
    const uint8_t header[18] = {h.idLength,
                                h.mapType,
                                h.type,
                                uint8_t(h.firstEntry),
                                uint8_t(h.firstEntry >> 8),
                                uint8_t(h.mapLength),
                                uint8_t(h.mapLength >> 8),
                                h.entryBits,
                                0,
                                0,
                                0,
                                0,
                                uint8_t(h.width),
                                uint8_t(h.width >> 8),
                                uint8_t(h.height),
                                uint8_t(h.height >> 8),
                                h.depth,
                                h.descriptor};
    Bytes bytes(std::begin(header), std::end(header));
    bytes.resize(sizeof header + rest.size());
    std::copy(rest.begin(), rest.end(), bytes.begin() + sizeof header);
    return bytes;
}

Result<Image> load(const Bytes& bytes) {
    return Testing::decode(bytes, ImageFormat::tga);
}

Bytes pixelsOf(const Image& image) {
    return Bytes(image.pixels().data(), image.pixels().data() + image.pixels().size());
}

TEST(TgaLoader, DecodesEachLayoutToItsFormatWithRowZeroAtTheBottom) {
    Header top;
    top.descriptor = 0x20;
    Header rgba;
    rgba.depth = 32;
    Header gray;
    gray.type = 3;
    gray.depth = 8;
    Header gray2 = gray;
    gray2.type = 2;
    Header mapped;
    mapped.type = 1;
    mapped.depth = 8;
    mapped.mapType = 1;
    mapped.firstEntry = 2;
    mapped.mapLength = 2;
    mapped.entryBits = 32;
    Header mappedRle = mapped;
    mappedRle.type = 9;
    mappedRle.entryBits = 24;
    Header rle;
    rle.type = 10;
    Header grayRle;
    grayRle.type = 11;
    grayRle.depth = 8;
    grayRle.width = 6;
    // A true-colour picture may carry a colour map: it is skipped, whatever its entry size.
    Header trueWithMap;
    trueWithMap.mapType = 1;
    trueWithMap.mapLength = 2;
    trueWithMap.entryBits = 16;
    trueWithMap.idLength = 3;

    const Bytes bgr = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const Bytes rgb = {3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10};
    const struct {
        const char* name;
        Bytes file;
        PixelFormat format;
        int32_t width;
        Bytes pixels;
    } cases[] = {
        {"24-bit bottom first", tga({}, bgr), PixelFormat::Rgb8, 2, rgb},
        {"24-bit top first", tga(top, bgr), PixelFormat::Rgb8, 2, {9, 8, 7, 12, 11, 10, 3, 2, 1, 6, 5, 4}},
        {"32-bit keeps alpha", tga(rgba, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}), PixelFormat::Rgba8,
         2, {3, 2, 1, 4, 7, 6, 5, 8, 11, 10, 9, 12, 15, 14, 13, 16}},
        {"grayscale", tga(gray, {1, 2, 3, 4}), PixelFormat::Gray8, 2, {1, 2, 3, 4}},
        {"8-bit true colour", tga(gray2, {1, 2, 3, 4}), PixelFormat::Gray8, 2, {1, 2, 3, 4}},
        {"colour-mapped from entry 2", tga(mapped, {10, 20, 30, 40, 50, 60, 70, 80, 3, 2, 1, 0}), PixelFormat::Rgba8,
         2, {70, 60, 50, 80, 30, 20, 10, 40, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"run-length colour-mapped", tga(mappedRle, {10, 20, 30, 40, 50, 60, 0x81, 2, 0x01, 3, 0}),
         PixelFormat::Rgb8, 2, {30, 20, 10, 30, 20, 10, 60, 50, 40, 0, 0, 0}},
        {"run-length true colour", tga(rle, {0x81, 1, 2, 3, 0x01, 4, 5, 6, 7, 8, 9}), PixelFormat::Rgb8, 2,
         {3, 2, 1, 3, 2, 1, 6, 5, 4, 9, 8, 7}},
        {"run-length packets of six", tga(grayRle, {0x85, 7, 0x05, 1, 2, 3, 4, 5, 6}), PixelFormat::Gray8, 6,
         {7, 7, 7, 7, 7, 7, 1, 2, 3, 4, 5, 6}},
        {"identification and map skipped", tga(trueWithMap, {'i', 'd', '!', 0xEE, 0xEE, 0xEE, 0xEE, 1, 2, 3, 4, 5, 6,
                                                              7, 8, 9, 10, 11, 12}),
         PixelFormat::Rgb8, 2, rgb},
    };
    for (const auto& c : cases) {
        const Result<Image> image = load(c.file);
        ASSERT_TRUE(image.ok()) << c.name << ": " << image.error();
        EXPECT_EQ(image.value().format(), c.format) << c.name;
        EXPECT_EQ(image.value().width(), c.width) << c.name;
        EXPECT_EQ(image.value().height(), 2) << c.name;
        EXPECT_EQ(image.value().gamma(), 2.2f) << c.name;
        EXPECT_EQ(pixelsOf(image.value()), c.pixels) << c.name;
    }
}

TEST(TgaLoader, RefusesDamagedAndUnsupportedFilesWithTheirMessage) {
    const char* ShortRead = "Could not extract the required number of bytes from the input stream";
    const char* ColorMap = "Unsupported color map mode: we only support 24/32 bit color palettes with 8 bit index.";
    Header noData;
    noData.type = 0;
    Header depth16;
    depth16.depth = 16;
    Header noWidth;
    noWidth.width = 0;
    Header map16;
    map16.type = 1;
    map16.depth = 8;
    map16.mapType = 1;
    map16.mapLength = 1;
    map16.entryBits = 16;
    Header noMap = map16;
    noMap.mapType = 0;
    noMap.entryBits = 24;
    Header wideIndex = map16;
    wideIndex.depth = 24;
    wideIndex.entryBits = 24;
    Header mapped = map16;
    mapped.type = 9;
    mapped.entryBits = 24;
    Header emptyMap = mapped;
    emptyMap.mapLength = 0;
    Header rle;
    rle.type = 10;
    Header rle1x4 = rle;
    rle1x4.width = 4;
    rle1x4.height = 1;
    Header unknown;
    unknown.type = 5;
    Header huge;
    huge.type = 10;
    huge.depth = 32;
    huge.width = 65535;
    huge.height = 65535;

    const struct {
        const char* name;
        Bytes file;
        const char* message;
    } cases[] = {
        {"empty", {}, "Could not load object from the stream."},
        {"17 header bytes", Bytes(17, 0), "Could not load object from the stream."},
        {"no data", tga(noData, {}), "Not a TGA file. Invalid header: No data present in the TGA stream"},
        {"16-bit pixels", tga(depth16, Bytes(8, 0)), "Unsupported TGA image bit depth."},
        {"no width", tga(noWidth, {}), "Invalid TGA image resolution."},
        {"16-bit palette", tga(map16, Bytes(6, 0)), ColorMap},
        {"colour-mapped without a map", tga(noMap, Bytes(4, 0)), ColorMap},
        {"24-bit indices", tga(wideIndex, Bytes(15, 0)), ColorMap},
        {"index beyond the palette", tga(mapped, {1, 2, 3, 0x83, 1}), ColorMap},
        {"palette without entries", tga(emptyMap, {0x83, 0}), ColorMap},
        {"run past the last pixel", tga(rle, {0x84, 1, 2, 3}), "Invalid TGA image resolution."},
        {"palette cut short", tga(mapped, {1, 2}), ShortRead},
        {"pixels cut short", tga({}, Bytes(11, 0)), ShortRead},
        {"data end at a packet header", tga(rle, {0x80, 1, 2, 3}), "Could not load object from the stream."},
        {"packet cut short", tga(rle1x4, {0x03, 1, 2, 3}), ShortRead},
        {"huge run-length picture with little data", tga(huge, Bytes(100, 0)), ShortRead},
        {"unknown image type", tga(unknown, Bytes(12, 0)), "STOP@tarviolib/image/image(1041)"},
    };
    for (const auto& c : cases) {
        const Result<Image> image = load(c.file);
        ASSERT_FALSE(image.ok()) << c.name;
        EXPECT_EQ(image.error(), c.message) << c.name;
    }
}

} // namespace
} // namespace Tarvio
