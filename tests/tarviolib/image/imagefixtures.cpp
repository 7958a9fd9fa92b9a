#include "tests/tarviolib/image/imagefixtures.h"

#include "tarviolib/io/memoryinputstream.h"

#include <ImfChannelList.h>
#include <ImfFrameBuffer.h>
#include <ImfHeader.h>
#include <ImfIO.h>
#include <ImfOutputFile.h>
#include <ImfTiledOutputFile.h>
#include <half.h>
#include <tiffio.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace Tarvio::Testing {

namespace {

// A growing byte file for libtiff's and OpenEXR's writers.
struct MemoryFile {
    std::vector<uint8_t> bytes;
    uint64_t position = 0;

    void write(const void* data, uint64_t size) {
        if (bytes.size() < position + size) {
            bytes.resize(position + size);
        }
        std::memcpy(bytes.data() + position, data, size);
        position += size;
    }
    uint64_t read(void* data, uint64_t size) {
        const uint64_t count = std::min<uint64_t>(size, bytes.size() - std::min<uint64_t>(position, bytes.size()));
        std::memcpy(data, bytes.data() + position, count);
        position += count;
        return count;
    }
};

MemoryFile& fileOf(thandle_t handle) {
    return *static_cast<MemoryFile*>(handle);
}

tmsize_t tiffRead(thandle_t handle, void* data, tmsize_t size) {
    return static_cast<tmsize_t>(fileOf(handle).read(data, static_cast<uint64_t>(size)));
}

tmsize_t tiffWrite(thandle_t handle, void* data, tmsize_t size) {
    fileOf(handle).write(data, static_cast<uint64_t>(size));
    return size;
}

toff_t tiffSeek(thandle_t handle, toff_t offset, int whence) {
    MemoryFile& file = fileOf(handle);
    const uint64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? file.position : file.bytes.size();
    file.position = base + offset;
    return file.position;
}

int tiffClose(thandle_t) {
    return 0;
}

toff_t tiffSize(thandle_t handle) {
    return fileOf(handle).bytes.size();
}

int tiffMap(thandle_t, void**, toff_t*) {
    return 0;
}

void tiffUnmap(thandle_t, void*, toff_t) {}

void require(bool condition, const char* what) {
    if (!condition) {
        throw std::runtime_error(what);
    }
}

class ExrMemoryStream : public Imf::OStream {
public:
    explicit ExrMemoryStream(MemoryFile& file) : Imf::OStream("memory"), mFile(file) {}
    void write(const char data[], int n) override { mFile.write(data, static_cast<uint64_t>(n)); }
    uint64_t tellp() override { return mFile.position; }
    void seekp(uint64_t position) override { mFile.position = position; }

private:
    MemoryFile& mFile;
};

} // namespace

Result<Image> decode(const std::vector<uint8_t>& bytes, ImageFormat format, int64_t behind) {
    std::vector<uint8_t> stored(static_cast<std::size_t>(behind), 'J');
    stored.insert(stored.end(), bytes.begin(), bytes.end());
    // An empty vector gives no block: the stream of 0 bytes that an empty payload file gives too.
    Io::MemoryInputStream stream(stored.data(), static_cast<int64_t>(stored.size()));
    stream.seekg(behind, SeekOrigin::Begin);
    return Image::load(stream, format);
}

std::vector<uint8_t> writeTiff(const TiffPicture& p) {
    MemoryFile file;
    TIFF* tiff = TIFFClientOpen("memory", "w", &file, tiffRead, tiffWrite, tiffSeek, tiffClose, tiffSize, tiffMap,
                                tiffUnmap);
    require(tiff != nullptr, "TIFFClientOpen");
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, p.width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, p.height);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, p.samplesPerPixel);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, p.bitsPerSample);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, p.photometric);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, p.compression);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, p.planarConfig);
    if (!p.extraSamples.empty()) {
        TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, static_cast<uint16_t>(p.extraSamples.size()), p.extraSamples.data());
    }
    if (p.orientation != ORIENTATION_TOPLEFT) {
        TIFFSetField(tiff, TIFFTAG_ORIENTATION, p.orientation);
    }
    if (!p.red.empty()) {
        TIFFSetField(tiff, TIFFTAG_COLORMAP, p.red.data(), p.green.data(), p.blue.data());
    }
    const uint32_t sampleBytes = p.bitsPerSample / 8;
    const uint8_t* samples = p.bitsPerSample == 16 ? reinterpret_cast<const uint8_t*>(p.samples16.data())
                                                   : p.samples8.data();
    // One plane holds every sample of a pixel, or one of them.
    const bool separate = p.planarConfig == PLANARCONFIG_SEPARATE;
    const uint32_t planes = separate ? p.samplesPerPixel : 1;
    const uint32_t pixelBytes = (separate ? 1 : p.samplesPerPixel) * sampleBytes;
    // Copies count pixels of plane `plane` from (x, y) to out.
    const auto gather = [&](uint8_t* out, uint32_t x, uint32_t y, uint32_t count, uint32_t plane) {
        for (uint32_t i = 0; i < count; ++i) {
            const std::size_t pixel = (std::size_t(y) * p.width + x + i) * p.samplesPerPixel * sampleBytes;
            std::memcpy(out + i * pixelBytes, samples + pixel + plane * pixelBytes, pixelBytes);
        }
    };
    if (p.tileSize == 0) {
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 1u);
        std::vector<uint8_t> row(std::size_t(p.width) * pixelBytes);
        for (uint32_t plane = 0; plane < planes; ++plane) {
            for (uint32_t y = 0; y < p.height; ++y) {
                gather(row.data(), 0, y, p.width, plane);
                require(TIFFWriteScanline(tiff, row.data(), y, static_cast<uint16_t>(plane)) >= 0, "TIFFWriteScanline");
            }
        }
    } else {
        TIFFSetField(tiff, TIFFTAG_TILEWIDTH, p.tileSize);
        TIFFSetField(tiff, TIFFTAG_TILELENGTH, p.tileSize);
        std::vector<uint8_t> tile(static_cast<std::size_t>(p.tileSize) * p.tileSize * pixelBytes);
        for (uint32_t plane = 0; plane < planes; ++plane) {
            for (uint32_t ty = 0; ty < p.height; ty += p.tileSize) {
                for (uint32_t tx = 0; tx < p.width; tx += p.tileSize) {
                    std::fill(tile.begin(), tile.end(), 0);
                    for (uint32_t y = ty; y < std::min(p.height, ty + p.tileSize); ++y) {
                        gather(tile.data() + (y - ty) * p.tileSize * pixelBytes, tx, y,
                               std::min(p.width, tx + p.tileSize) - tx, plane);
                    }
                    require(TIFFWriteTile(tiff, tile.data(), tx, ty, 0, static_cast<uint16_t>(plane)) >= 0,
                            "TIFFWriteTile");
                }
            }
        }
    }
    TIFFClose(tiff);
    return file.bytes;
}

float exrValue(const ExrPicture& p, int channel, int x, int y) {
    return static_cast<float>(channel * 100 + (y - p.minY) * 10 + (x - p.minX));
}

std::vector<uint8_t> writeExr(const ExrPicture& p) {
    const Imath::Box2i window(Imath::V2i(p.minX, p.minY), Imath::V2i(p.maxX, p.maxY));
    Imf::Header header(window, window, 1.0f, Imath::V2f(0, 0), 1.0f,
                       p.increasingY ? Imf::INCREASING_Y : Imf::DECREASING_Y,
                       static_cast<Imf::Compression>(p.compression));
    const int64_t width = p.maxX - p.minX + 1;
    const int64_t height = p.maxY - p.minY + 1;
    // Each channel's values in the type it is stored as.
    std::vector<std::vector<float>> floats(p.channels.size());
    std::vector<std::vector<half>> halves(p.channels.size());
    Imf::FrameBuffer frameBuffer;
    for (std::size_t c = 0; c < p.channels.size(); ++c) {
        const bool isHalf =
            std::find(p.halfChannels.begin(), p.halfChannels.end(), p.channels[c]) != p.halfChannels.end();
        header.channels().insert(p.channels[c], Imf::Channel(isHalf ? Imf::HALF : Imf::FLOAT));
        for (int y = p.minY; y <= p.maxY; ++y) {
            for (int x = p.minX; x <= p.maxX; ++x) {
                const float value = exrValue(p, static_cast<int>(c), x, y);
                if (isHalf) {
                    halves[c].push_back(half(value));
                } else {
                    floats[c].push_back(value);
                }
            }
        }
        const std::size_t size = isHalf ? sizeof(half) : sizeof(float);
        const void* base = isHalf ? static_cast<const void*>(halves[c].data()) : floats[c].data();
        frameBuffer.insert(p.channels[c], Imf::Slice::Make(isHalf ? Imf::HALF : Imf::FLOAT, base, window.min, width,
                                                           height, size, size * width));
    }
    MemoryFile file;
    ExrMemoryStream stream(file);
    if (p.tileSize > 0) {
        header.setTileDescription(Imf::TileDescription(p.tileSize, p.tileSize, Imf::ONE_LEVEL));
        Imf::TiledOutputFile out(stream, header);
        out.setFrameBuffer(frameBuffer);
        out.writeTiles(0, out.numXTiles() - 1, 0, out.numYTiles() - 1);
    } else {
        Imf::OutputFile out(stream, header);
        out.setFrameBuffer(frameBuffer);
        out.writePixels(static_cast<int>(height));
    }
    return file.bytes;
}

} // namespace Tarvio::Testing
