#include "tarviolib/image/image.h"
#include "tarviolib/io/memoryinputstream.h"
#include "tests/tarviolib/image/imagefixtures.h"

#include <gtest/gtest.h>

#include <ImfCompression.h>

#include <algorithm>
#include <cstring>
#include <limits>
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

// The file with the 32-bit field at offset `at` of header attribute `name` (of type `type`) set.
Bytes withAttributeField(Bytes file, const std::string& name, const std::string& type, std::size_t at, int32_t value) {
    const std::string key = name + '\0' + type + '\0';
    const auto found = std::search(file.begin(), file.end(), key.begin(), key.end());
    EXPECT_NE(found, file.end()) << name;
    // The attribute's 4-byte size follows its name and type.
    std::memcpy(&*found + key.size() + 4 + at, &value, sizeof value);
    return file;
}

// Where the table of chunk offsets starts: after the magic number, the version and the header's
// attributes (name, type, 4-byte size, value), which end with an empty name.
std::size_t offsetTable(const Bytes& file) {
    std::size_t at = 8;
    while (at < file.size() && file[at] != 0) {
        at = std::find(file.begin() + at, file.end(), 0) - file.begin() + 1;
        at = std::find(file.begin() + at, file.end(), 0) - file.begin() + 1;
        int32_t size = 0;
        std::memcpy(&size, file.data() + at, sizeof size);
        at += sizeof size + static_cast<std::size_t>(size);
    }
    return at + 1;
}

// Half channels named c0, c1, ... on a picture of 1 x 2 pixels.
ExrPicture manyChannels(int count, int compression) {
    ExrPicture p;
    p.channels.clear();
    for (int i = 0; i < count; ++i) {
        p.channels.push_back("c" + std::to_string(i));
    }
    p.halfChannels = p.channels;
    p.compression = compression;
    p.maxX = 0;
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
    ExrPicture tiles = halfZip;
    tiles.tileSize = 16;
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
        {"tiles", tiles, PixelFormat::RgbaFloat, {0, 1, 2, 3}},
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

// Offsets in the file count from the picture's first byte, wherever it starts in the stream; one
// that the stream's positions cannot reach from there fails the load, even at a start past 0.
TEST(ExrLoader, RefusesALineOffsetBeyondTheLargestStreamPositionAtAnyStart) {
    // The seed corpus's rgb.exr, its first line said to be at 2^63 - 1.
    Bytes farLine = Testing::writeExr(ExrPicture{});
    const std::size_t table = offsetTable(farLine);
    int64_t firstLine = 0;
    std::memcpy(&firstLine, farLine.data() + table, sizeof firstLine);
    ASSERT_EQ(firstLine, static_cast<int64_t>(table + 2 * sizeof firstLine)) << "right after the table of two lines";
    const int64_t farOffset = std::numeric_limits<int64_t>::max();
    std::memcpy(farLine.data() + table, &farOffset, sizeof farOffset);
    for (const int64_t start : {0, 7, 37}) {
        const Result<Image> image = Testing::decode(farLine, ImageFormat::exr, start);
        ASSERT_FALSE(image.ok()) << start;
        EXPECT_EQ(image.error().substr(0, 20), "Failed to load EXR (") << start << ": " << image.error();
        if (start > 0) {
            EXPECT_NE(image.error().find("Seeking beyond the largest stream position."), String::NotFound)
                << start << ": " << image.error();
        }
    }
}

// OpenEXR sizes its decoding buffers from the header alone: for a block of lines (or a tile) of
// every channel across the data window. A small file may not ask for more than an image may hold.
TEST(ExrLoader, RefusesHeadersThatAskForMoreThanAnImageMayHold) {
    // PIZ blocks are 32 lines: 103 half channels x 65535 pixels x 2 bytes x 32 lines, about 432 MB.
    const Bytes pizBlocks = withAttributeField(Testing::writeExr(manyChannels(103, Imf::PIZ_COMPRESSION)),
                                               "dataWindow", "box2i", 8, 65534);
    // Blocks of one line, but 20 channels x 2 bytes x 2048 x 1024 pixels is 80 MiB in all.
    ExrPicture tall = manyChannels(20, Imf::NO_COMPRESSION);
    Bytes wholePicture = withAttributeField(Testing::writeExr(tall), "dataWindow", "box2i", 8, 2047);
    wholePicture = withAttributeField(wholePicture, "dataWindow", "box2i", 12, 1023);
    // One tile of 8192 x 8192 float samples, 256 MiB.
    ExrPicture tiled = picture({"Z"});
    tiled.tileSize = 16;
    Bytes hugeTile = withAttributeField(Testing::writeExr(tiled), "tiles", "tiledesc", 0, 8192);
    hugeTile = withAttributeField(hugeTile, "tiles", "tiledesc", 4, 8192);
    const struct {
        const char* name;
        Bytes file;
    } cases[] = {
        {"103 channels, PIZ, 65535 x 2", pizBlocks},
        {"20 channels, 2048 x 1024", wholePicture},
        {"a tile of 8192 x 8192", hugeTile},
    };
    for (const auto& c : cases) {
        EXPECT_LT(c.file.size(), 4096u) << c.name;
        const Result<Image> image = load(c.file);
        ASSERT_FALSE(image.ok()) << c.name;
        EXPECT_EQ(image.error(), "Failed to load EXR (data window too large).") << c.name;
    }
    // The same channels over the window they were written for pass the header and reach the
    // channel choice.
    const Result<Image> narrow = load(Testing::writeExr(manyChannels(103, Imf::PIZ_COMPRESSION)));
    ASSERT_FALSE(narrow.ok());
    EXPECT_EQ(narrow.error(), "Unsupported EXR channel set.");
}

} // namespace
} // namespace Tarvio
