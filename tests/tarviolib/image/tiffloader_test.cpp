#include "tarviolib/core/badalloc.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/image/image.h"
#include "tarviolib/io/memoryinputstream.h"
#include "tests/tarviolib/image/imagefixtures.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstring>
#include <vector>

namespace Tarvio {
namespace {

using Testing::TiffPicture;
using Bytes = std::vector<uint8_t>;

Result<Image> load(const Bytes& bytes) {
    return Testing::decode(bytes, ImageFormat::tiff);
}

class QuietTiff : public ::testing::Test {
protected:
    void SetUp() override {
        mError = TIFFSetErrorHandler(nullptr);
        mWarning = TIFFSetWarningHandler(nullptr);
    }
    void TearDown() override {
        TIFFSetErrorHandler(mError);
        TIFFSetWarningHandler(mWarning);
    }

private:
    TIFFErrorHandler mError = nullptr;
    TIFFErrorHandler mWarning = nullptr;
};

// 8-bit samples 1, 2, 3... in file order (top row first).
TiffPicture picture8(uint16_t samples, uint16_t photometric, bool alpha) {
    TiffPicture p;
    p.samplesPerPixel = samples;
    p.photometric = photometric;
    if (alpha) {
        p.extraSamples = {EXTRASAMPLE_ASSOCALPHA};
    }
    for (uint32_t i = 0; i < p.width * p.height * samples; ++i) {
        p.samples8.push_back(static_cast<uint8_t>(i + 1));
    }
    return p;
}

// 16-bit samples i x 1000 in file order, on a picture bigger than one tile when tiled.
TiffPicture picture16(uint16_t samples, uint16_t photometric, bool alpha, uint32_t tileSize) {
    TiffPicture p;
    p.width = tileSize ? 20 : 3;
    p.height = tileSize ? 18 : 2;
    p.samplesPerPixel = samples;
    p.bitsPerSample = 16;
    p.photometric = photometric;
    if (alpha) {
        p.extraSamples = {EXTRASAMPLE_ASSOCALPHA};
    }
    p.tileSize = tileSize;
    for (uint32_t i = 0; i < p.width * p.height * samples; ++i) {
        p.samples16.push_back(static_cast<uint16_t>(i * 7 % 65536));
    }
    return p;
}

// The file with its ImageWidth entry (a SHORT or LONG in the first directory) set to width.
Bytes withImageWidth(Bytes file, uint16_t width) {
    const auto at = [&file](std::size_t offset) { return uint32_t(file[offset]) | uint32_t(file[offset + 1]) << 8; };
    const std::size_t directory = at(4) | at(6) << 16;
    for (std::size_t entry = directory + 2; entry < directory + 2 + 12 * at(directory); entry += 12) {
        if (at(entry) == TIFFTAG_IMAGEWIDTH) {
            file[entry + 8] = uint8_t(width);
            file[entry + 9] = uint8_t(width >> 8);
            file[entry + 10] = 0;
            file[entry + 11] = 0;
        }
    }
    return file;
}

TEST_F(QuietTiff, Decodes8BitLayoutsBottomRowFirst) {
    TiffPicture palette = picture8(1, PHOTOMETRIC_PALETTE, false);
    palette.red.assign(256, 0);
    palette.green.assign(256, 0);
    palette.blue.assign(256, 0);
    for (int i = 0; i < 256; ++i) {
        palette.red[i] = static_cast<uint16_t>(i * 257);
        palette.green[i] = static_cast<uint16_t>((255 - i) * 257);
    }
    TiffPicture deflateTiles = picture8(3, PHOTOMETRIC_RGB, false);
    deflateTiles.compression = COMPRESSION_ADOBE_DEFLATE;
    deflateTiles.tileSize = 16;
    const struct {
        const char* name;
        TiffPicture picture;
        PixelFormat format;
        Bytes pixels;
    } cases[] = {
        {"RGB", picture8(3, PHOTOMETRIC_RGB, false), PixelFormat::Rgb8, {7, 8, 9, 10, 11, 12, 1, 2, 3, 4, 5, 6}},
        {"RGBA", picture8(4, PHOTOMETRIC_RGB, true), PixelFormat::Rgba8,
         {9, 10, 11, 12, 13, 14, 15, 16, 1, 2, 3, 4, 5, 6, 7, 8}},
        {"grey", picture8(1, PHOTOMETRIC_MINISBLACK, false), PixelFormat::Gray8, {3, 4, 1, 2}},
        {"palette", palette, PixelFormat::Rgb8, {3, 252, 0, 4, 251, 0, 1, 254, 0, 2, 253, 0}},
        {"deflate tiles", deflateTiles, PixelFormat::Rgb8, {7, 8, 9, 10, 11, 12, 1, 2, 3, 4, 5, 6}},
    };
    for (const auto& c : cases) {
        const Result<Image> image = load(Testing::writeTiff(c.picture));
        ASSERT_TRUE(image.ok()) << c.name << ": " << image.error();
        EXPECT_EQ(image.value().format(), c.format) << c.name;
        EXPECT_EQ(image.value().width(), 2) << c.name;
        EXPECT_EQ(image.value().height(), 2) << c.name;
        EXPECT_EQ(image.value().gamma(), 2.2f) << c.name;
        const Image& decoded = image.value();
        EXPECT_EQ(Bytes(decoded.pixels().data(), decoded.pixels().data() + decoded.pixels().size()), c.pixels)
            << c.name;
    }
}

TEST_F(QuietTiff, Decodes16BitSamplesToFloats) {
    const struct {
        const char* name;
        TiffPicture picture;
        PixelFormat format;
        float gamma;
    } cases[] = {
        {"grey strips", picture16(1, PHOTOMETRIC_MINISBLACK, false, 0), PixelFormat::GrayFloat, 1.0f},
        {"RGB tiles", picture16(3, PHOTOMETRIC_RGB, false, 16), PixelFormat::RgbFloat, 2.2f},
        {"RGBA strips", picture16(4, PHOTOMETRIC_RGB, true, 0), PixelFormat::RgbaFloat, 2.2f},
        {"RGBA tiles", picture16(4, PHOTOMETRIC_RGB, true, 16), PixelFormat::RgbaFloat, 2.2f},
    };
    for (const auto& c : cases) {
        const Result<Image> image = load(Testing::writeTiff(c.picture));
        ASSERT_TRUE(image.ok()) << c.name << ": " << image.error();
        const Image& decoded = image.value();
        EXPECT_EQ(decoded.format(), c.format) << c.name;
        EXPECT_EQ(decoded.gamma(), c.gamma) << c.name;
        ASSERT_EQ(decoded.width(), int32_t(c.picture.width)) << c.name;
        ASSERT_EQ(decoded.height(), int32_t(c.picture.height)) << c.name;
        const int32_t channels = channelCount(decoded.format());
        for (uint32_t y = 0; y < c.picture.height; ++y) {
            for (uint32_t x = 0; x < c.picture.width; ++x) {
                const float* out = reinterpret_cast<const float*>(
                    decoded.pixelAt(int32_t(x), int32_t(c.picture.height - 1 - y)));
                for (int32_t ch = 0; ch < channels; ++ch) {
                    const uint16_t sample = c.picture.samples16[(y * c.picture.width + x) * channels + ch];
                    ASSERT_FLOAT_EQ(out[ch], sample / 65535.0f) << c.name << " at " << x << ", " << y;
                }
            }
        }
    }
}

// The same layout with 8-bit samples v and 16-bit samples v x 257, on 5 x 3 pixels or on 20 x 18
// in tiles of 16.
struct Twins {
    TiffPicture eight;
    TiffPicture sixteen;
};

Twins twins(uint16_t samples, uint16_t photometric, std::vector<uint16_t> extraSamples, uint32_t tileSize = 0) {
    TiffPicture p;
    p.width = tileSize ? 20 : 5;
    p.height = tileSize ? 18 : 3;
    p.samplesPerPixel = samples;
    p.photometric = photometric;
    p.extraSamples = std::move(extraSamples);
    p.tileSize = tileSize;
    // Deflate: libtiff reads uncompressed tiles only through a memory map.
    p.compression = tileSize ? COMPRESSION_ADOBE_DEFLATE : COMPRESSION_NONE;
    Twins t{p, p};
    t.sixteen.bitsPerSample = 16;
    for (uint32_t i = 0; i < p.width * p.height * samples; ++i) {
        const auto value = static_cast<uint8_t>(i * 37 + 11);
        t.eight.samples8.push_back(value);
        t.sixteen.samples16.push_back(static_cast<uint16_t>(value * 257));
    }
    return t;
}

Twins with(Twins t, uint16_t planarConfig, uint16_t orientation) {
    t.eight.planarConfig = t.sixteen.planarConfig = planarConfig;
    t.eight.orientation = t.sixteen.orientation = orientation;
    return t;
}

// libtiff's RGBA interface reads the 8-bit pictures; a 16-bit one must come out as its 8-bit twin,
// in float formats: the same size, rows, columns, channels and values (v / 255 = v x 257 / 65535).
TEST_F(QuietTiff, Reads16BitPicturesAsTheRgbaInterfaceReadsTheir8BitTwins) {
    const uint16_t separate = PLANARCONFIG_SEPARATE;
    const uint16_t contig = PLANARCONFIG_CONTIG;
    const Twins rgb = twins(3, PHOTOMETRIC_RGB, {});
    const Twins grey = twins(1, PHOTOMETRIC_MINISBLACK, {});
    const Twins white = twins(1, PHOTOMETRIC_MINISWHITE, {});
    const struct {
        const char* name;
        Twins pictures;
        PixelFormat format;
    } cases[] = {
        {"min-is-white grey", white, PixelFormat::GrayFloat},
        {"min-is-white grey, bottom right first", with(white, contig, ORIENTATION_BOTRIGHT), PixelFormat::GrayFloat},
        {"grey with alpha", twins(2, PHOTOMETRIC_MINISBLACK, {EXTRASAMPLE_ASSOCALPHA}), PixelFormat::RgbaFloat},
        {"min-is-white grey with alpha", twins(2, PHOTOMETRIC_MINISWHITE, {EXTRASAMPLE_ASSOCALPHA}),
         PixelFormat::RgbaFloat},
        {"RGB planes", with(rgb, separate, ORIENTATION_TOPLEFT), PixelFormat::RgbFloat},
        {"RGB planes in tiles", with(twins(3, PHOTOMETRIC_RGB, {}, 16), separate, ORIENTATION_TOPLEFT),
         PixelFormat::RgbFloat},
        {"RGBA planes", with(twins(4, PHOTOMETRIC_RGB, {EXTRASAMPLE_ASSOCALPHA}), separate, ORIENTATION_TOPLEFT),
         PixelFormat::RgbaFloat},
        {"RGB, alpha and one more", twins(5, PHOTOMETRIC_RGB, {EXTRASAMPLE_ASSOCALPHA, EXTRASAMPLE_UNSPECIFIED}),
         PixelFormat::RgbaFloat},
        {"RGB and two unspecified", twins(5, PHOTOMETRIC_RGB, {EXTRASAMPLE_UNSPECIFIED, EXTRASAMPLE_UNSPECIFIED}),
         PixelFormat::RgbaFloat},
        {"RGB, alpha and one more in tiles",
         twins(5, PHOTOMETRIC_RGB, {EXTRASAMPLE_ASSOCALPHA, EXTRASAMPLE_UNSPECIFIED}, 16), PixelFormat::RgbaFloat},
        {"RGB top right first", with(rgb, contig, ORIENTATION_TOPRIGHT), PixelFormat::RgbFloat},
        {"RGB bottom right first", with(rgb, contig, ORIENTATION_BOTRIGHT), PixelFormat::RgbFloat},
        {"RGB bottom left first", with(rgb, contig, ORIENTATION_BOTLEFT), PixelFormat::RgbFloat},
        {"RGB left top first", with(rgb, contig, ORIENTATION_LEFTTOP), PixelFormat::RgbFloat},
        {"RGB right top first", with(rgb, contig, ORIENTATION_RIGHTTOP), PixelFormat::RgbFloat},
        {"RGB right bottom first", with(rgb, contig, ORIENTATION_RIGHTBOT), PixelFormat::RgbFloat},
        {"RGB left bottom first", with(rgb, contig, ORIENTATION_LEFTBOT), PixelFormat::RgbFloat},
        {"grey bottom right first in tiles",
         with(twins(1, PHOTOMETRIC_MINISBLACK, {}, 16), contig, ORIENTATION_BOTRIGHT), PixelFormat::GrayFloat},
        {"RGB planes bottom left first", with(rgb, separate, ORIENTATION_BOTLEFT), PixelFormat::RgbFloat},
        {"grey top right first", with(grey, contig, ORIENTATION_TOPRIGHT), PixelFormat::GrayFloat},
    };
    for (const auto& c : cases) {
        const Result<Image> eight = load(Testing::writeTiff(c.pictures.eight));
        const Result<Image> sixteen = load(Testing::writeTiff(c.pictures.sixteen));
        ASSERT_TRUE(eight.ok()) << c.name << ": " << eight.error();
        if (!sixteen.ok()) {
            ADD_FAILURE() << c.name << ": " << sixteen.error();
            continue;
        }
        const Image& expected = eight.value();
        const Image& decoded = sixteen.value();
        EXPECT_EQ(decoded.format(), c.format) << c.name;
        EXPECT_EQ(decoded.gamma(), c.format == PixelFormat::GrayFloat ? 1.0f : 2.2f) << c.name;
        ASSERT_EQ(decoded.width(), expected.width()) << c.name;
        ASSERT_EQ(decoded.height(), expected.height()) << c.name;
        ASSERT_EQ(channelCount(decoded.format()), channelCount(expected.format())) << c.name;
        const int32_t channels = channelCount(decoded.format());
        for (int32_t y = 0; y < decoded.height(); ++y) {
            for (int32_t x = 0; x < decoded.width(); ++x) {
                const float* out = reinterpret_cast<const float*>(decoded.pixelAt(x, y));
                const uint8_t* twin = expected.pixelAt(x, y);
                for (int32_t ch = 0; ch < channels; ++ch) {
                    ASSERT_NEAR(out[ch], twin[ch] / 255.0f, 1e-6f) << c.name << " at " << x << ", " << y << ", " << ch;
                }
            }
        }
    }
}

TEST_F(QuietTiff, RefusesWhatItCannotReadWithItsMessage) {
    // Ink separations (CMYK) with 16-bit samples.
    TiffPicture inks = picture16(4, PHOTOMETRIC_SEPARATED, false, 0);
    TiffPicture floats = picture8(1, PHOTOMETRIC_MINISBLACK, false);
    floats.bitsPerSample = 32;
    floats.samples8.resize(16, 0);
    TiffPicture deflate16 = picture16(3, PHOTOMETRIC_RGB, false, 0);
    deflate16.compression = COMPRESSION_ADOBE_DEFLATE;
    Bytes damaged16 = Testing::writeTiff(deflate16);
    // The strips come right after the 8-byte header: their zlib streams lose their start.
    std::memset(damaged16.data() + 8, 0xFF, 8);
    const Bytes cut = Testing::writeTiff(picture8(3, PHOTOMETRIC_RGB, false));
    // Written as one tile, then claiming a width of 65280 pixels: 4080 tiles in a small file.
    TiffPicture oneTile = picture8(3, PHOTOMETRIC_RGB, false);
    oneTile.tileSize = 16;
    const Bytes wideTiles = withImageWidth(Testing::writeTiff(oneTile), 65280);

    const struct {
        const char* name;
        Bytes file;
        const char* message;
    } cases[] = {
        {"empty", {}, "Failed to load TIFF image."},
        {"not a TIFF", Bytes(64, 'x'), "Failed to load TIFF image."},
        {"cut after the header", Bytes(cut.begin(), cut.begin() + 12), "Failed to load TIFF image."},
        {"damaged 16-bit data", damaged16, "Failed to load TIFF image data."},
        {"uncompressed rows beyond the file", withImageWidth(Testing::writeTiff(picture8(3, PHOTOMETRIC_RGB, false)), 900),
         "Failed to load TIFF file: the file is shorter than its pixel data"},
        {"more tiles than the file holds", wideTiles,
         "Failed to load TIFF file: more strips or tiles than the file can hold"},
    };
    for (const auto& c : cases) {
        const Result<Image> image = load(c.file);
        ASSERT_FALSE(image.ok()) << c.name;
        EXPECT_EQ(image.error(), c.message) << c.name;
    }
    // libtiff's RGBA interface refuses these, with its own message.
    for (const TiffPicture& picture : {floats, inks}) {
        const Result<Image> unsupported = load(Testing::writeTiff(picture));
        ASSERT_FALSE(unsupported.ok());
        EXPECT_EQ(unsupported.error().substr(0, 26), "Failed to load TIFF file: ") << unsupported.error();
    }
}

// Offsets in the file count from the picture's first byte, wherever it starts in the stream; one
// that the stream's positions cannot reach from there fails as a seek, even at a start past 0.
TEST_F(QuietTiff, RefusesAnOffsetBeyondTheLargestStreamPositionAtAnyStart) {
    // A BigTIFF header that puts its first directory at 2^63 - 1.
    const Bytes farDirectory = {'I', 'I', 43, 0, 8, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F};
    for (const int64_t start : {0, 7, 37}) {
        const Result<Image> image = Testing::decode(farDirectory, ImageFormat::tiff, start);
        ASSERT_FALSE(image.ok()) << start;
        EXPECT_EQ(image.error(), "Failed to load TIFF image.") << start;
    }
}

// A stream whose reads fail with an exception once they pass a position.
template <typename Failure>
class FailingStream : public Io::MemoryInputStream {
public:
    FailingStream(const Bytes& bytes, int64_t failFrom, Failure failure)
        : Io::MemoryInputStream(bytes.data(), static_cast<int64_t>(bytes.size())), mFailFrom(failFrom),
          mFailure(failure) {}

protected:
    int64_t readImpl(void* data, int64_t size) override {
        if (tellg() + size > mFailFrom) {
            throw mFailure;
        }
        return Io::MemoryInputStream::readImpl(data, size);
    }

private:
    int64_t mFailFrom;
    Failure mFailure;
};

// A read failure reaches libtiff as its error value and fails the load; running out of memory
// crosses libtiff's frames only as a stored exception, thrown again once libtiff has returned.
TEST_F(QuietTiff, TurnsStreamFailuresIntoFailedLoadsAndPassesOutOfMemoryOn) {
    const Bytes file = Testing::writeTiff(picture16(3, PHOTOMETRIC_RGB, false, 0));
    for (const int64_t failFrom : {int64_t(4), int64_t(20), static_cast<int64_t>(file.size()) - 8}) {
        FailingStream<Exception> stream(file, failFrom, Exception("Cannot read file 'C:/pictures/a.tif'"));
        const Result<Image> image = Image::load(stream, ImageFormat::tiff);
        ASSERT_FALSE(image.ok()) << failFrom;
        EXPECT_EQ(image.error().substr(0, 22), "Failed to load TIFF im") << failFrom << image.error();

        FailingStream<BadAlloc> starved(file, failFrom, BadAlloc(1 << 20));
        EXPECT_THROW(Image::load(starved, ImageFormat::tiff), BadAlloc) << failFrom;
    }
}

} // namespace
} // namespace Tarvio
