// Truevision TGA: uncompressed and run-length encoded true-colour, grayscale and colour-mapped
// pictures of 8, 24 or 32 bits.

#include "tarviolib/core/buffer.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/core/stopreport.h"
#include "tarviolib/image/image.h"

#include <cstring>
#include <utility>

namespace Tarvio {

namespace {

constexpr const char* ColorMapMessage =
    "Unsupported color map mode: we only support 24/32 bit color palettes with 8 bit index.";
constexpr const char* ResolutionMessage = "Invalid TGA image resolution.";

// Packets hold at most 128 pixels each.
constexpr int64_t PixelsPerPacket = 128;

int32_t littleEndian16(const uint8_t* bytes) {
    return bytes[0] | (bytes[1] << 8);
}

bool isColorMapped(int32_t type) {
    return type == 1 || type == 9;
}

bool isRunLength(int32_t type) {
    return type >= 9;
}

class Palette {
public:
    // Entries below the first stored one are black (and transparent).
    void read(Io::SeekableBinaryInputStream& stream, int32_t first, int32_t length, int32_t entryBits) {
        mEntryBytes = entryBits / 8;
        mEntries = first + length;
        mBytes.allocate(mEntries * mEntryBytes);
        if (mEntries > 0) {
            std::memset(mBytes.data(), 0, static_cast<std::size_t>(mBytes.size()));
        }
        Io::readExact(stream, mBytes.data() + first * mEntryBytes, int64_t(length) * mEntryBytes);
    }

    // An index the map does not hold is refused rather than read past the palette.
    void write(uint8_t index, uint8_t* pixel) const {
        if (index >= mEntries) {
            throw Exception(ColorMapMessage);
        }
        const uint8_t* entry = mBytes.data() + index * mEntryBytes;
        pixel[0] = entry[2];
        pixel[1] = entry[1];
        pixel[2] = entry[0];
        if (mEntryBytes == 4) {
            pixel[3] = entry[3];
        }
    }

private:
    int32_t mEntryBytes = 0;
    int32_t mEntries = 0;
    Buffer<uint8_t> mBytes;
};

void swapRedBlue(uint8_t* pixel, int32_t bytes) {
    if (bytes > 1) {
        std::swap(pixel[0], pixel[2]);
    }
}

// Run-length packets until pixelCount pixels are written. storedBytes is the size of one value
// in the file (an index for a colour-mapped picture).
void decodePackets(Io::SeekableBinaryInputStream& stream, uint8_t* out, int64_t pixelCount, int32_t pixelBytes,
                   const Palette* palette) {
    const int32_t storedBytes = palette ? 1 : pixelBytes;
    const auto readValue = [&](uint8_t* pixel) {
        uint8_t value[4];
        Io::readExact(stream, value, storedBytes);
        if (palette) {
            palette->write(value[0], pixel);
        } else {
            std::memcpy(pixel, value, static_cast<std::size_t>(pixelBytes));
            swapRedBlue(pixel, pixelBytes);
        }
    };
    int64_t written = 0;
    while (written < pixelCount) {
        uint8_t header;
        Io::readObject(stream, header);
        const bool repeat = (header & 0x80) != 0;
        const int64_t count = repeat ? header - 127 : header + 1;
        if (written + count > pixelCount) {
            // More pixels than the resolution holds: the picture is damaged.
            throw Exception(ResolutionMessage);
        }
        uint8_t* pixel = out + written * pixelBytes;
        if (repeat) {
            readValue(pixel);
            for (int64_t i = 1; i < count; ++i) {
                std::memcpy(pixel + i * pixelBytes, pixel, static_cast<std::size_t>(pixelBytes));
            }
        } else {
            for (int64_t i = 0; i < count; ++i) {
                readValue(pixel + i * pixelBytes);
            }
        }
        written += count;
    }
}

} // namespace

void Image::loadTga(Io::SeekableBinaryInputStream& stream) {
    uint8_t header[18];
    Io::readObject(stream, header);
    const int32_t idLength = header[0];
    const bool hasColorMap = header[1] == 1;
    const int32_t type = header[2];
    const int32_t firstEntry = littleEndian16(header + 3);
    const int32_t mapLength = littleEndian16(header + 5);
    const int32_t entryBits = header[7];
    const int32_t width = littleEndian16(header + 12);
    const int32_t height = littleEndian16(header + 14);
    const int32_t depth = header[16];
    const bool topFirst = (header[17] & 0x20) != 0;

    if (type == 0) {
        throw Exception("Not a TGA file. Invalid header: No data present in the TGA stream");
    }
    if (depth != 8 && depth != 24 && depth != 32) {
        throw Exception("Unsupported TGA image bit depth.");
    }
    if (width == 0 || height == 0) {
        throw Exception(ResolutionMessage);
    }
    if (type != 1 && type != 2 && type != 3 && type != 9 && type != 10 && type != 11) {
        throwStop(Detail::ImageModule, 1041);
    }
    // Only the colour-mapped types take their pixels from the map; the others may carry one,
    // which is skipped.
    if (isColorMapped(type) && (!hasColorMap || (entryBits != 24 && entryBits != 32) || depth != 8)) {
        throw Exception(ColorMapMessage);
    }
    const int32_t formatBits = isColorMapped(type) ? entryBits : depth;
    const PixelFormat format = formatBits == 24 ? PixelFormat::Rgb8 : formatBits == 32 ? PixelFormat::Rgba8
                                                                                          : PixelFormat::Gray8;
    const int64_t pixelCount = int64_t(width) * height;
    const int64_t storedMapBytes = hasColorMap ? int64_t(mapLength) * ((entryBits + 7) / 8) : 0;
    // The least the data can take: every pixel stored, or full packets of one value each.
    const int64_t storedValueBytes = depth / 8;
    const int64_t leastDataBytes = isRunLength(type)
                                       ? (pixelCount + PixelsPerPacket - 1) / PixelsPerPacket * (1 + storedValueBytes)
                                       : pixelCount * storedValueBytes;
    if (Detail::remainingBytes(stream) < idLength + storedMapBytes + leastDataBytes) {
        throw Exception("Could not extract the required number of bytes from the input stream");
    }
    mGamma = 2.2f;
    allocatePixels(width, height, format, ResolutionMessage);

    stream.seekg(idLength, SeekOrigin::Current);
    Palette palette;
    if (isColorMapped(type)) {
        palette.read(stream, firstEntry, mapLength, entryBits);
    } else if (hasColorMap) {
        stream.seekg(storedMapBytes, SeekOrigin::Current);
    }

    const int32_t pixelBytes = bytesPerPixel(format);
    uint8_t* out = mPixels.data();
    if (type == 1) {
        Buffer<uint8_t> indices(static_cast<int32_t>(pixelCount));
        Io::readExact(stream, indices.data(), pixelCount);
        for (int64_t i = 0; i < pixelCount; ++i) {
            palette.write(indices[static_cast<int32_t>(i)], out + i * pixelBytes);
        }
    } else if (type == 2 || type == 3) {
        Io::readExact(stream, out, mPixels.size());
        for (int64_t i = 0; i < pixelCount; ++i) {
            swapRedBlue(out + i * pixelBytes, pixelBytes);
        }
    } else {
        decodePackets(stream, out, pixelCount, pixelBytes, isColorMapped(type) ? &palette : nullptr);
    }
    if (topFirst) {
        flipVertically();
    }
}

} // namespace Tarvio
