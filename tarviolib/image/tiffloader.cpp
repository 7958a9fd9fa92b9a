// TIFF through libtiff's client-stream and RGBA interfaces; 16-bit samples are read through its
// scanline and tile interfaces, since the RGBA interface narrows them to 8 bits.

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
#include <vector>

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
    return client.guarded(static_cast<toff_t>(-1), [&](Io::SeekableBinaryInputStream& stream) {
        // The file's offsets count from the client's start.
        stream.seekg(origin == SeekOrigin::Begin ? client.position(offset) : static_cast<int64_t>(offset), origin);
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

// Where the 16-bit samples of a TIFF go in the float image: which channels each sample fills, and
// where each stored pixel lands. The orientations are taken as libtiff's RGBA interface takes
// them for the other depths (the four that exchange rows and columns as their counterpart without
// the exchange), so that a picture comes out the same whatever its depth.
class Samples16 {
public:
    Samples16(Image& image, int32_t samples, bool separatePlanes, uint16_t orientation)
        : mImage(image), mSamples(samples), mPlanes(separatePlanes ? samples : 1),
          mTopFirst(orientation == ORIENTATION_TOPLEFT || orientation == ORIENTATION_TOPRIGHT ||
                    orientation == ORIENTATION_LEFTTOP || orientation == ORIENTATION_RIGHTTOP),
          mMirrored(orientation == ORIENTATION_TOPRIGHT || orientation == ORIENTATION_BOTRIGHT ||
                    orientation == ORIENTATION_RIGHTTOP || orientation == ORIENTATION_RIGHTBOT),
          mTargets(static_cast<std::size_t>(samples)) {}

    // Sample `sample` fills `count` channels from `channel`, inverted (min-is-white) when asked;
    // samples without a target are skipped.
    void target(int32_t sample, int32_t channel, int32_t count, bool inverted) {
        mTargets[static_cast<std::size_t>(sample)] = {channel, count, inverted};
    }

    int64_t width() const { return mImage.width(); }
    int64_t height() const { return mImage.height(); }
    int32_t planes() const { return mPlanes; }
    // The samples a pixel has in one strip or tile: all of them, or one plane's.
    int32_t blockSamples() const { return mPlanes > 1 ? 1 : mSamples; }

    // Stores `count` pixels of one block row, stored row y from stored column x, of plane `plane`.
    void copy(const uint16_t* source, int64_t x, int64_t y, int64_t count, int32_t plane) {
        constexpr float Scale = 1.0f / 65535.0f;
        const int32_t first = mPlanes > 1 ? plane : 0;
        const int32_t blockSamples = this->blockSamples();
        const int64_t row = mTopFirst ? mImage.height() - 1 - y : y;
        for (int64_t i = 0; i < count; ++i) {
            const int64_t column = mMirrored ? mImage.width() - 1 - (x + i) : x + i;
            auto* out = reinterpret_cast<float*>(
                mImage.pixelAt(static_cast<int32_t>(column), static_cast<int32_t>(row)));
            for (int32_t k = 0; k < blockSamples; ++k) {
                const Target& target = mTargets[static_cast<std::size_t>(first + k)];
                const uint16_t stored = source[i * blockSamples + k];
                const float value = (target.inverted ? 65535 - stored : stored) * Scale;
                std::fill(out + target.channel, out + target.channel + target.count, value);
            }
        }
    }

private:
    struct Target {
        int32_t channel = 0;
        int32_t count = 0;
        bool inverted = false;
    };

    Image& mImage;
    int32_t mSamples;
    int32_t mPlanes;
    bool mTopFirst;
    bool mMirrored;
    std::vector<Target> mTargets;
};

// libtiff's scanline and tile reads give the samples as stored, plane by plane.
void readSamples16(TIFF* tiff, TiffClient& client, Samples16& layout) {
    const int64_t width = layout.width();
    const int64_t height = layout.height();
    const int64_t blockSamples = layout.blockSamples();
    if (TIFFIsTiled(tiff)) {
        uint32_t tileWidth = 0;
        uint32_t tileHeight = 0;
        TIFFGetField(tiff, TIFFTAG_TILEWIDTH, &tileWidth);
        TIFFGetField(tiff, TIFFTAG_TILELENGTH, &tileHeight);
        const int64_t tileBytes = checkedBlockSize(TIFFTileSize(tiff));
        client.rethrowPending();
        if (tileWidth == 0 || tileHeight == 0 || int64_t(tileWidth) * tileHeight * blockSamples * 2 > tileBytes) {
            failLayout("invalid tile size");
        }
        ByteBuffer tile(tileBytes);
        for (int32_t plane = 0; plane < layout.planes(); ++plane) {
            for (int64_t ty = 0; ty < height; ty += tileHeight) {
                for (int64_t tx = 0; tx < width; tx += tileWidth) {
                    const tmsize_t read = TIFFReadTile(tiff, tile.data(), static_cast<uint32_t>(tx),
                                                       static_cast<uint32_t>(ty), 0, static_cast<uint16_t>(plane));
                    client.rethrowPending();
                    if (read < 0) {
                        throw Exception("Failed to load TIFF image data.");
                    }
                    const auto* samplesOfTile = reinterpret_cast<const uint16_t*>(tile.data());
                    for (int64_t row = 0; row < tileHeight && ty + row < height; ++row) {
                        layout.copy(samplesOfTile + row * tileWidth * blockSamples, tx, ty + row,
                                    std::min<int64_t>(tileWidth, width - tx), plane);
                    }
                }
            }
        }
        return;
    }
    const int64_t rowBytes = checkedBlockSize(TIFFScanlineSize(tiff));
    client.rethrowPending();
    if (int64_t(width) * blockSamples * 2 > rowBytes) {
        failLayout("invalid scanline size");
    }
    ByteBuffer row(rowBytes);
    for (int32_t plane = 0; plane < layout.planes(); ++plane) {
        for (int64_t y = 0; y < height; ++y) {
            const int read = TIFFReadScanline(tiff, row.data(), static_cast<uint32_t>(y), static_cast<uint16_t>(plane));
            client.rethrowPending();
            if (read < 0) {
                throw Exception("Failed to load TIFF image data.");
            }
            layout.copy(reinterpret_cast<const uint16_t*>(row.data()), 0, y, width, plane);
        }
    }
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

    // 16-bit samples: grey (either way round) or RGB, with or without alpha.
    uint16_t planar = PLANARCONFIG_CONTIG;
    uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_ORIENTATION, &orientation);
    client.rethrowPending();
    const bool gray = rgba.photometric == PHOTOMETRIC_MINISBLACK || rgba.photometric == PHOTOMETRIC_MINISWHITE;
    const bool rgb = samples >= 3 && rgba.photometric == PHOTOMETRIC_RGB;
    if (!gray && !rgb) {
        failLayout("16-bit samples are supported for grey and RGB pictures only");
    }
    const int32_t colourSamples = gray ? 1 : 3;
    // The first sample beyond the colour ones, when the file has one.
    const bool withAlpha = alpha && samples > colourSamples;
    const PixelFormat format = samples == 1 ? PixelFormat::GrayFloat
                               : withAlpha  ? PixelFormat::RgbaFloat
                                            : PixelFormat::RgbFloat;
    allocatePixels(width, height, format, "Failed to load TIFF file: image too large");
    if (format != PixelFormat::GrayFloat) {
        mGamma = 2.2f;
    }
    Samples16 layout(*this, samples, planar == PLANARCONFIG_SEPARATE, orientation);
    const int32_t colourChannels = channelCount(format) - (withAlpha ? 1 : 0);
    for (int32_t sample = 0; sample < colourSamples; ++sample) {
        // A grey sample fills every colour channel.
        layout.target(sample, gray ? 0 : sample, gray ? colourChannels : 1, rgba.photometric == PHOTOMETRIC_MINISWHITE);
    }
    if (withAlpha) {
        layout.target(colourSamples, 3, 1, false);
    }
    readSamples16(tiff.get(), client, layout);
}

} // namespace Tarvio
