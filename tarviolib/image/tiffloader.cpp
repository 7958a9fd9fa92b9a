// TIFF through libtiff's client-stream and RGBA interfaces; 16-bit samples are read directly,
// since the RGBA interface narrows them to 8 bits.

#include "tarviolib/core/badalloc.h"
#include "tarviolib/core/bytebuffer.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/core/stopreport.h"
#include "tarviolib/image/detail/streamclient.h"
#include "tarviolib/image/image.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace Tarvio {

namespace {

using TiffClient = Detail::StreamClient;

TiffClient& clientOf(thandle_t handle) {
    return *static_cast<TiffClient*>(handle);
}

tmsize_t readProc(thandle_t handle, void* buffer, tmsize_t size) {
    return clientOf(handle).guarded(tmsize_t(-1), [&](Io::SeekableBinaryInputStream& stream) {
        return static_cast<tmsize_t>(stream.read(buffer, size));
    });
}

tmsize_t writeProc(thandle_t handle, void*, tmsize_t) {
    clientOf(handle).keepStop(1057);
    return -1;
}

toff_t seekProc(thandle_t handle, toff_t offset, int whence) {
    TiffClient& client = clientOf(handle);
    SeekOrigin origin;
    switch (whence) {
    case SEEK_SET:
        origin = SeekOrigin::Begin;
        break;
    case SEEK_CUR:
        origin = SeekOrigin::Current;
        break;
    case SEEK_END:
        origin = SeekOrigin::End;
        break;
    default:
        client.keepStop(1075);
        return static_cast<toff_t>(-1);
    }
    // The file's offsets count from the client's start.
    const int64_t base = origin == SeekOrigin::Begin ? client.start() : 0;
    return client.guarded(static_cast<toff_t>(-1), [&](Io::SeekableBinaryInputStream& stream) {
        stream.seekg(base + static_cast<int64_t>(offset), origin);
        return static_cast<toff_t>(stream.tellg() - client.start());
    });
}

int closeProc(thandle_t) {
    return 0;
}

toff_t sizeProc(thandle_t handle) {
    const int64_t size = clientOf(handle).size();
    return size < 0 ? 0 : static_cast<toff_t>(size);
}

int mapProc(thandle_t, void**, toff_t*) {
    return 0;
}

void unmapProc(thandle_t, void*, toff_t) {}

class TiffHandle : public Noncopyable {
public:
    explicit TiffHandle(TIFF* tiff) : mTiff(tiff) {}
    ~TiffHandle() {
        if (mTiff) {
            TIFFClose(mTiff);
        }
    }
    TIFF* get() const { return mTiff; }

private:
    TIFF* mTiff;
};

class RgbaImageRecord : public Noncopyable {
public:
    ~RgbaImageRecord() {
        if (mBegun) {
            TIFFRGBAImageEnd(&mRecord);
        }
    }
    bool begin(TIFF* tiff, char (&message)[1024]) {
        mBegun = TIFFRGBAImageBegin(&mRecord, tiff, 0, message) != 0;
        return mBegun;
    }
    TIFFRGBAImage& get() { return mRecord; }

private:
    TIFFRGBAImage mRecord{};
    bool mBegun = false;
};

class TiffRaster : public Noncopyable {
public:
    explicit TiffRaster(int64_t count)
        : mValues(static_cast<uint32_t*>(_TIFFmalloc(static_cast<tmsize_t>(count * sizeof(uint32_t))))) {}
    ~TiffRaster() {
        if (mValues) {
            _TIFFfree(mValues);
        }
    }
    uint32_t* get() const { return mValues; }

private:
    uint32_t* mValues;
};

[[noreturn]] void failLayout(const char* reason) {
    throw Exception(String("Failed to load TIFF file: ") + reason);
}

// A tile or a strip's row as libtiff sizes it; 0 is its report of an overflow.
int64_t checkedBlockSize(tmsize_t size) {
    if (size <= 0 || size > Image::MaxPixelBytes) {
        failLayout("invalid strip or tile size");
    }
    return size;
}

} // namespace

void Image::loadTiff(Io::SeekableBinaryInputStream& stream) {
    TiffClient client(stream);
    const TiffHandle tiff(TIFFClientOpen("Stream", "r", &client, readProc, writeProc, seekProc, closeProc, sizeProc,
                                         mapProc, unmapProc));
    client.rethrowPending();
    if (!tiff.get()) {
        throw Exception("Failed to load TIFF image.");
    }
    RgbaImageRecord record;
    char message[1024] = {};
    const bool begun = record.begin(tiff.get(), message);
    client.rethrowPending();
    if (!begun) {
        throw Exception("Failed to load TIFF file: " + String::fromUtf8(message));
    }
    // Every strip or tile has an entry of at least two bytes in the offset table, so a file cannot
    // hold more of them than half its size. A damaged size would otherwise have libtiff work
    // through millions of missing blocks.
    const int64_t blocks = TIFFIsTiled(tiff.get()) ? TIFFNumberOfTiles(tiff.get()) : TIFFNumberOfStrips(tiff.get());
    const int64_t fileSize = client.size();
    client.rethrowPending();
    if (blocks * 2 > fileSize) {
        failLayout("more strips or tiles than the file can hold");
    }
    // libtiff decodes one strip or tile at a time into a block of its full size.
    const uint64_t blockBytes = TIFFIsTiled(tiff.get()) ? TIFFTileSize64(tiff.get()) : TIFFStripSize64(tiff.get());
    if (blockBytes > static_cast<uint64_t>(MaxPixelBytes)) {
        failLayout("image too large");
    }
    // Uncompressed pixels are all stored: the file must hold at least the rows of one plane.
    uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_COMPRESSION, &compression);
    uint32_t rows = 0;
    TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &rows);
    const uint64_t leastDataBytes = TIFFIsTiled(tiff.get()) ? uint64_t(blocks) * blockBytes
                                                            : TIFFScanlineSize64(tiff.get()) * rows;
    client.rethrowPending();
    if (compression == COMPRESSION_NONE && leastDataBytes > static_cast<uint64_t>(fileSize)) {
        failLayout("the file is shorter than its pixel data");
    }
    TIFFRGBAImage& rgba = record.get();
    const int64_t width = rgba.width;
    const int64_t height = rgba.height;
    const int32_t samples = rgba.samplesperpixel;
    const bool alpha = rgba.alpha != 0;

    if (rgba.bitspersample != 16) {
        const PixelFormat format = samples == 1 && rgba.photometric != PHOTOMETRIC_PALETTE ? PixelFormat::Gray8
                                   : alpha                                                 ? PixelFormat::Rgba8
                                                                                           : PixelFormat::Rgb8;
        // The raster holds four bytes a pixel, more than the image may.
        if (width > MaxPixelBytes / 4 || height > MaxPixelBytes / 4 || width * height > MaxPixelBytes / 4) {
            throw Exception("Failed to load TIFF file: image too large");
        }
        allocatePixels(width, height, format, "Failed to load TIFF file: image too large");
        mGamma = 2.2f;
        const TiffRaster raster(width * height);
        if (!raster.get()) {
            throw BadAlloc(width * height * 4);
        }
        const bool read = TIFFRGBAImageGet(&rgba, raster.get(), rgba.width, rgba.height) != 0;
        client.rethrowPending();
        if (!read) {
            throw Exception("Failed to load TIFF image data.");
        }
        const int32_t bytes = bytesPerPixel(format);
        const uint32_t* values = raster.get();
        uint8_t* out = mPixels.data();
        for (int64_t i = 0; i < width * height; ++i, out += bytes) {
            out[0] = static_cast<uint8_t>(TIFFGetR(values[i]));
            if (bytes > 1) {
                out[1] = static_cast<uint8_t>(TIFFGetG(values[i]));
                out[2] = static_cast<uint8_t>(TIFFGetB(values[i]));
            }
            if (bytes > 3) {
                out[3] = static_cast<uint8_t>(TIFFGetA(values[i]));
            }
        }
        return;
    }

    // 16-bit samples: grey, or RGB with or without alpha, interleaved, stored top row first.
    uint16_t planar = PLANARCONFIG_CONTIG;
    uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_ORIENTATION, &orientation);
    client.rethrowPending();
    const bool gray = samples == 1 && rgba.photometric == PHOTOMETRIC_MINISBLACK;
    const bool rgb = samples >= 3 && rgba.photometric == PHOTOMETRIC_RGB;
    if (!gray && !rgb) {
        failLayout("16-bit samples are supported for grey and RGB pictures only");
    }
    if (planar != PLANARCONFIG_CONTIG) {
        failLayout("16-bit samples are supported in interleaved pictures only");
    }
    if (orientation != ORIENTATION_TOPLEFT) {
        failLayout("16-bit samples are supported in top-down pictures only");
    }
    const PixelFormat format = gray ? PixelFormat::GrayFloat : alpha ? PixelFormat::RgbaFloat : PixelFormat::RgbFloat;
    allocatePixels(width, height, format, "Failed to load TIFF file: image too large");
    if (!gray) {
        mGamma = 2.2f;
    }
    const int32_t channels = channelCount(format);
    constexpr float Scale = 1.0f / 65535.0f;
    // Copies count pixels of a block row (samples interleaved) to image row y from column x.
    const auto copyPixels = [&](const uint16_t* source, int64_t x, int64_t y, int64_t count) {
        float* out = reinterpret_cast<float*>(pixelAt(static_cast<int32_t>(x), static_cast<int32_t>(height - 1 - y)));
        for (int64_t i = 0; i < count; ++i) {
            for (int32_t c = 0; c < channels; ++c) {
                out[i * channels + c] = source[i * samples + c] * Scale;
            }
        }
    };

    if (TIFFIsTiled(tiff.get())) {
        uint32_t tileWidth = 0;
        uint32_t tileHeight = 0;
        TIFFGetField(tiff.get(), TIFFTAG_TILEWIDTH, &tileWidth);
        TIFFGetField(tiff.get(), TIFFTAG_TILELENGTH, &tileHeight);
        const int64_t tileBytes = checkedBlockSize(TIFFTileSize(tiff.get()));
        client.rethrowPending();
        if (tileWidth == 0 || tileHeight == 0 || int64_t(tileWidth) * tileHeight * samples * 2 > tileBytes) {
            failLayout("invalid tile size");
        }
        ByteBuffer tile(tileBytes);
        for (int64_t ty = 0; ty < height; ty += tileHeight) {
            for (int64_t tx = 0; tx < width; tx += tileWidth) {
                const tmsize_t read = TIFFReadTile(tiff.get(), tile.data(), static_cast<uint32_t>(tx),
                                                   static_cast<uint32_t>(ty), 0, 0);
                client.rethrowPending();
                if (read < 0) {
                    throw Exception("Failed to load TIFF image data.");
                }
                const auto* samplesOfTile = reinterpret_cast<const uint16_t*>(tile.data());
                for (int64_t row = 0; row < tileHeight && ty + row < height; ++row) {
                    copyPixels(samplesOfTile + row * tileWidth * samples, tx, ty + row,
                               std::min<int64_t>(tileWidth, width - tx));
                }
            }
        }
    } else {
        const int64_t rowBytes = checkedBlockSize(TIFFScanlineSize(tiff.get()));
        client.rethrowPending();
        if (width * samples * 2 > rowBytes) {
            failLayout("invalid scanline size");
        }
        ByteBuffer row(rowBytes);
        for (int64_t y = 0; y < height; ++y) {
            const int read = TIFFReadScanline(tiff.get(), row.data(), static_cast<uint32_t>(y), 0);
            client.rethrowPending();
            if (read < 0) {
                throw Exception("Failed to load TIFF image data.");
            }
            copyPixels(reinterpret_cast<const uint16_t*>(row.data()), 0, y, width);
        }
    }
}

} // namespace Tarvio
