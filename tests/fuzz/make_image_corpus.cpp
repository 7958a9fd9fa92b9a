// Writes the committed seed corpora of the image fuzz targets: a few small pictures of each
// format's main layouts, TIFF and EXR made with their libraries' writers.
//   make_image_corpus CORPUS_FOLDER      (tests/fuzz/corpus)

#include "tests/tarviolib/image/imagefixtures.h"

#include <ImfCompression.h>
#include <tiffio.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using namespace Tarvio::Testing;

void save(const std::filesystem::path& folder, const std::string& name, const Bytes& bytes) {
    std::filesystem::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes text(const std::string& header, const Bytes& data) {
    Bytes bytes(header.begin(), header.end());
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

// An 18-byte TGA header for a 4 x 2 picture followed by rest.
Bytes tga(uint8_t type, uint8_t depth, uint8_t descriptor, const Bytes& map, const Bytes& rest) {
    const uint8_t entries = static_cast<uint8_t>(map.size() / 3);
    Bytes bytes = {0, uint8_t(map.empty() ? 0 : 1), type, 0, 0, entries, 0, uint8_t(map.empty() ? 0 : 24),
                   0, 0, 0, 0, 4, 0, 2, 0, depth, descriptor};
    bytes.insert(bytes.end(), map.begin(), map.end());
    bytes.insert(bytes.end(), rest.begin(), rest.end());
    return bytes;
}

TiffPicture tiffPicture(uint16_t samples, uint16_t bits, uint16_t photometric, uint32_t tileSize, uint16_t compression) {
    TiffPicture p;
    p.width = 5;
    p.height = 3;
    p.samplesPerPixel = samples;
    p.bitsPerSample = bits;
    p.photometric = photometric;
    if (samples == 4) {
        p.extraSamples = {EXTRASAMPLE_ASSOCALPHA};
    }
    p.tileSize = tileSize;
    p.compression = compression;
    for (uint32_t i = 0; i < p.width * p.height * samples; ++i) {
        p.samples8.push_back(static_cast<uint8_t>(i * 13));
        p.samples16.push_back(static_cast<uint16_t>(i * 4099));
    }
    if (photometric == PHOTOMETRIC_PALETTE) {
        for (int i = 0; i < 256; ++i) {
            p.red.push_back(static_cast<uint16_t>(i * 257));
            p.green.push_back(static_cast<uint16_t>((255 - i) * 257));
            p.blue.push_back(static_cast<uint16_t>(i * 100));
        }
    }
    return p;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_image_corpus CORPUS_FOLDER\n";
        return 2;
    }
    const std::filesystem::path root = argv[1];
    const Bytes bgr(24, 0x40);
    save(root / "tga", "truecolour.tga", tga(2, 24, 0, {}, bgr));
    save(root / "tga", "topfirst32.tga", tga(2, 32, 0x20, {}, Bytes(32, 0x81)));
    save(root / "tga", "gray.tga", tga(3, 8, 0, {}, {1, 2, 3, 4, 5, 6, 7, 8}));
    save(root / "tga", "mapped.tga", tga(1, 8, 0, {1, 2, 3, 4, 5, 6}, {0, 1, 0, 1, 1, 0, 1, 0}));
    save(root / "tga", "rlemapped.tga", tga(9, 8, 0, {1, 2, 3, 4, 5, 6}, {0x83, 1, 0x03, 0, 1, 0, 1}));
    save(root / "tga", "rle24.tga", tga(10, 24, 0, {}, {0x82, 1, 2, 3, 0x04, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12,
                                                        13, 14, 15}));
    save(root / "tga", "rlegray.tga", tga(11, 8, 0x20, {}, {0x87, 9}));

    const std::string start = "#?RADIANCE\nFORMAT=32-bit_rle_rgbe\nEXPOSURE=2\nGAMMA=2.2\n\n";
    save(root / "radiancehdr", "flat.hdr", text(start + "-Y 2 +X 3\n", Bytes(24, 0x81)));
    save(root / "radiancehdr", "xfirst.hdr", text("#?RGBE\n# comment\n\n+X 2 -Y 3\n", Bytes(24, 0x82)));
    save(root / "radiancehdr", "runlength.hdr",
         text(start + "-Y 1 +X 8\n", {2, 2, 0, 8, 0x88, 10, 8, 1, 2, 3, 4, 5, 6, 7, 8, 0x84, 5, 4, 1, 2, 3, 4,
                                      0x88, 128}));
    save(root / "radiancehdr", "repeats.hdr", text(start + "+Y 1 -X 300\n", {7, 0, 0, 128, 1, 1, 1, 43, 1, 1, 1, 1}));

    save(root / "tiff", "rgb8.tif", writeTiff(tiffPicture(3, 8, PHOTOMETRIC_RGB, 0, COMPRESSION_NONE)));
    save(root / "tiff", "rgba8tiles.tif", writeTiff(tiffPicture(4, 8, PHOTOMETRIC_RGB, 16, COMPRESSION_ADOBE_DEFLATE)));
    save(root / "tiff", "gray8lzw.tif", writeTiff(tiffPicture(1, 8, PHOTOMETRIC_MINISBLACK, 0, COMPRESSION_LZW)));
    save(root / "tiff", "palette.tif", writeTiff(tiffPicture(1, 8, PHOTOMETRIC_PALETTE, 0, COMPRESSION_PACKBITS)));
    save(root / "tiff", "gray16.tif", writeTiff(tiffPicture(1, 16, PHOTOMETRIC_MINISBLACK, 0, COMPRESSION_NONE)));
    save(root / "tiff", "rgb16tiles.tif", writeTiff(tiffPicture(3, 16, PHOTOMETRIC_RGB, 16, COMPRESSION_NONE)));
    save(root / "tiff", "rgba16deflate.tif", writeTiff(tiffPicture(4, 16, PHOTOMETRIC_RGB, 0, COMPRESSION_ADOBE_DEFLATE)));
    TiffPicture white = tiffPicture(1, 16, PHOTOMETRIC_MINISWHITE, 0, COMPRESSION_LZW);
    white.orientation = ORIENTATION_BOTRIGHT;
    save(root / "tiff", "gray16white.tif", writeTiff(white));
    TiffPicture grayAlpha = tiffPicture(2, 16, PHOTOMETRIC_MINISBLACK, 0, COMPRESSION_NONE);
    grayAlpha.extraSamples = {EXTRASAMPLE_ASSOCALPHA};
    save(root / "tiff", "grayalpha16.tif", writeTiff(grayAlpha));
    TiffPicture planes = tiffPicture(3, 16, PHOTOMETRIC_RGB, 0, COMPRESSION_ADOBE_DEFLATE);
    planes.planarConfig = PLANARCONFIG_SEPARATE;
    planes.orientation = ORIENTATION_TOPRIGHT;
    save(root / "tiff", "rgb16planes.tif", writeTiff(planes));
    TiffPicture extra = tiffPicture(5, 16, PHOTOMETRIC_RGB, 16, COMPRESSION_ADOBE_DEFLATE);
    extra.extraSamples = {EXTRASAMPLE_ASSOCALPHA, EXTRASAMPLE_UNSPECIFIED};
    save(root / "tiff", "rgba16extratiles.tif", writeTiff(extra));

    ExrPicture rgb;
    save(root / "exr", "rgb.exr", writeExr(rgb));
    ExrPicture rgba;
    rgba.channels = {"R", "G", "B", "A"};
    rgba.halfChannels = {"R", "G", "B", "A"};
    rgba.compression = Imf::ZIP_COMPRESSION;
    rgba.minX = 10;
    rgba.minY = 20;
    rgba.maxX = 25;
    rgba.maxY = 40;
    save(root / "exr", "rgbazip.exr", writeExr(rgba));
    ExrPicture gray;
    gray.channels = {"Z"};
    gray.increasingY = false;
    gray.compression = Imf::RLE_COMPRESSION;
    save(root / "exr", "depth.exr", writeExr(gray));
    ExrPicture piz;
    piz.halfChannels = {"G"};
    piz.compression = Imf::PIZ_COMPRESSION;
    piz.maxX = 7;
    piz.maxY = 7;
    save(root / "exr", "piz.exr", writeExr(piz));
    ExrPicture tiles = rgba;
    tiles.tileSize = 16;
    save(root / "exr", "tiles.exr", writeExr(tiles));
    return 0;
}
