// The image fuzz targets' seed corpora: each seed is a picture its loader decodes, at its size, so
// that fuzzing starts inside every decoder and the corpus tests run through them rather than past
// their first check.

#include "tarviolib/image/image.h"
#include "tests/tarviolib/image/imagefixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace Tarvio {
namespace {

const std::filesystem::path Corpus = TARVIO_FUZZ_CORPUS;

struct Seed {
    const char* path;
    ImageFormat format;
    int32_t width;
    int32_t height;
    PixelFormat pixelFormat;
};

const Seed Seeds[] = {
    {"tga/truecolour.tga", ImageFormat::tga, 4, 2, PixelFormat::Rgb8},
    {"tga/topfirst32.tga", ImageFormat::tga, 4, 2, PixelFormat::Rgba8},
    {"tga/gray.tga", ImageFormat::tga, 4, 2, PixelFormat::Gray8},
    {"tga/mapped.tga", ImageFormat::tga, 4, 2, PixelFormat::Rgb8},
    {"tga/rlemapped.tga", ImageFormat::tga, 4, 2, PixelFormat::Rgb8},
    {"tga/rle24.tga", ImageFormat::tga, 4, 2, PixelFormat::Rgb8},
    {"tga/rlegray.tga", ImageFormat::tga, 4, 2, PixelFormat::Gray8},
    {"radiancehdr/flat.hdr", ImageFormat::hdr, 3, 2, PixelFormat::Rgbe},
    {"radiancehdr/xfirst.hdr", ImageFormat::hdr, 2, 3, PixelFormat::Rgbe},
    {"radiancehdr/runlength.hdr", ImageFormat::hdr, 8, 1, PixelFormat::Rgbe},
    {"radiancehdr/repeats.hdr", ImageFormat::hdr, 300, 1, PixelFormat::Rgbe},
    {"tiff/rgb8.tif", ImageFormat::tiff, 5, 3, PixelFormat::Rgb8},
    {"tiff/rgba8tiles.tif", ImageFormat::tiff, 5, 3, PixelFormat::Rgba8},
    {"tiff/gray8lzw.tif", ImageFormat::tiff, 5, 3, PixelFormat::Gray8},
    {"tiff/palette.tif", ImageFormat::tiff, 5, 3, PixelFormat::Rgb8},
    {"tiff/gray16.tif", ImageFormat::tiff, 5, 3, PixelFormat::GrayFloat},
    {"tiff/rgb16tiles.tif", ImageFormat::tiff, 5, 3, PixelFormat::RgbFloat},
    {"tiff/rgba16deflate.tif", ImageFormat::tiff, 5, 3, PixelFormat::RgbaFloat},
    {"tiff/gray16white.tif", ImageFormat::tiff, 5, 3, PixelFormat::GrayFloat},
    {"tiff/grayalpha16.tif", ImageFormat::tiff, 5, 3, PixelFormat::RgbaFloat},
    {"tiff/rgb16planes.tif", ImageFormat::tiff, 5, 3, PixelFormat::RgbFloat},
    {"tiff/rgba16extratiles.tif", ImageFormat::tiff, 5, 3, PixelFormat::RgbaFloat},
    {"exr/rgb.exr", ImageFormat::exr, 2, 2, PixelFormat::RgbFloat},
    {"exr/rgbazip.exr", ImageFormat::exr, 16, 21, PixelFormat::RgbaFloat},
    {"exr/depth.exr", ImageFormat::exr, 2, 2, PixelFormat::GrayFloat},
    {"exr/piz.exr", ImageFormat::exr, 8, 8, PixelFormat::RgbFloat},
    {"exr/tiles.exr", ImageFormat::exr, 16, 21, PixelFormat::RgbaFloat},
};

std::vector<uint8_t> readSeed(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << path;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ImageSeedCorpus, EverySeedDecodesAtItsSize) {
    for (const Seed& seed : Seeds) {
        const std::vector<uint8_t> bytes = readSeed(Corpus / seed.path);
        const Result<Image> image = Testing::decode(bytes, seed.format);
        if (!image.ok()) {
            ADD_FAILURE() << seed.path << ": " << image.error();
            continue;
        }
        EXPECT_EQ(image.value().width(), seed.width) << seed.path;
        EXPECT_EQ(image.value().height(), seed.height) << seed.path;
        EXPECT_EQ(image.value().format(), seed.pixelFormat) << seed.path;
    }
}

// A seed added to a folder is added to the table too.
TEST(ImageSeedCorpus, TheTableListsEverySeed) {
    std::set<std::string> listed;
    for (const Seed& seed : Seeds) {
        listed.insert(seed.path);
    }
    std::set<std::string> found;
    for (const char* folder : {"tga", "radiancehdr", "tiff", "exr"}) {
        for (const auto& entry : std::filesystem::directory_iterator(Corpus / folder)) {
            found.insert(std::string(folder) + "/" + entry.path().filename().string());
        }
    }
    EXPECT_EQ(found, listed);
}

} // namespace
} // namespace Tarvio
