#pragma once

// Pictures made in memory with the formats' own writers (libtiff, OpenEXR), for the loader tests
// and the fuzz targets' seed corpora.

#include "tarviolib/image/image.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Tarvio::Testing {

struct TiffPicture {
    uint32_t width = 2;
    uint32_t height = 2;
    uint16_t samplesPerPixel = 3;
    uint16_t bitsPerSample = 8;
    uint16_t photometric = 2; // PHOTOMETRIC_RGB
    // The kinds (EXTRASAMPLE_*) of the samples beyond the colour ones.
    std::vector<uint16_t> extraSamples;
    uint16_t compression = 1; // COMPRESSION_NONE
    // The samples are given interleaved either way; PLANARCONFIG_SEPARATE writes them plane by plane.
    uint16_t planarConfig = 1; // PLANARCONFIG_CONTIG
    uint16_t orientation = 1; // ORIENTATION_TOPLEFT
    // 0 for strips; otherwise tiles of this size (a multiple of 16).
    uint32_t tileSize = 0;
    // Palette entries, 16 bits each, for PHOTOMETRIC_PALETTE.
    std::vector<uint16_t> red, green, blue;
    // Samples of the rows, top row first, interleaved: bytes, or 16-bit values in native order.
    std::vector<uint8_t> samples8;
    std::vector<uint16_t> samples16;
};

// Image::load over the bytes (none included); with `behind`, the bytes follow as many others in
// the stream, and the load starts from the stream's position there.
Result<Image> decode(const std::vector<uint8_t>& bytes, ImageFormat format, int64_t behind = 0);

std::vector<uint8_t> writeTiff(const TiffPicture& picture);

struct ExrPicture {
    // Channel names in any order; each is written as HALF when its name is in halfChannels.
    std::vector<std::string> channels = {"R", "G", "B"};
    std::vector<std::string> halfChannels;
    int minX = 0, minY = 0, maxX = 1, maxY = 1;
    bool increasingY = true;
    int compression = 0; // NO_COMPRESSION
    // 0 for scanlines; otherwise square tiles of this size, one level.
    int tileSize = 0;
    // The value of channel c at (x, y) is c * 100 + (y - minY) * 10 + (x - minX): exact in halves.
};

std::vector<uint8_t> writeExr(const ExrPicture& picture);

float exrValue(const ExrPicture& picture, int channel, int x, int y);

} // namespace Tarvio::Testing
