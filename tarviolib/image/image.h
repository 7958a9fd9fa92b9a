#pragma once

#include "tarviolib/core/bytebuffer.h"
#include "tarviolib/core/enumnametable.h"
#include "tarviolib/core/object.h"
#include "tarviolib/core/result.h"
#include "tarviolib/io/path.h"
#include "tarviolib/io/stream.h"

#include <array>
#include <cstdint>

namespace Tarvio {

enum class PixelFormat : int32_t {
    None = 0,
    Rgb8 = 1,
    Rgba8 = 2,
    RgbFloat = 3,
    RgbaFloat = 4,
    Gray8 = 5,
    GrayFloat = 6,
    // R, G, B mantissa bytes and a shared exponent byte.
    Rgbe = 7,
};

enum class ImageFormat : int32_t {
    bmp = 0,
    png = 1,
    jpg = 2,
    exr = 3,
    gif = 4,
    tga = 5,
    tiff = 6,
    hdr = 7,
    // Resolved by imageFormatFromPath, never by Image::load.
    determineFromExt = 234,
};

extern const EnumNameTable<ImageFormat, 9> ImageFormatNames;

int32_t channelCount(PixelFormat format);
int32_t bytesPerPixel(PixelFormat format);

// From the extension, case-blind; an unknown one throws "Unrecognized bitmap format in filename "...".
ImageFormat imageFormatFromPath(const Io::Path& path);

// Radiance shared-exponent conversions.
std::array<float, 3> rgbeToFloat(const uint8_t rgbe[4]);
std::array<uint8_t, 4> floatToRgbe(float r, float g, float b);

// A decoded picture. Row 0 is the bottom row: every loader delivers the rows bottom up.
class Image : public Object {
public:
    // The largest pixel block a header may ask for: 64 MiB (4096 x 4096 RGBA bytes), far above the
    // interface's pictures. A damaged header fails as bad data, not as out of memory in a 32-bit
    // process.
    static constexpr int64_t MaxPixelBytes = int64_t(1) << 26;

    // 0 x 0, no format, linear.
    Image() = default;
    // A block of width x height pixels, contents unspecified; see allocatePixels.
    Image(int32_t width, int32_t height, PixelFormat format, float gamma);

    Image(Image&&) noexcept = default;
    Image& operator=(Image&&) noexcept = default;
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // An Exception while loading becomes a failed Result with its message; anything else (out
    // of memory above all) passes through. The stream is read from its current position.
    static Result<Image> load(Io::SeekableBinaryInputStream& stream, ImageFormat format);

    int32_t width() const { return mWidth; }
    int32_t height() const { return mHeight; }
    PixelFormat format() const { return mFormat; }
    // The exponent that makes the stored values linear.
    float gamma() const { return mGamma; }
    // The gamma, or 1 when it is not a positive finite number (a damaged header's 0 or NaN).
    float effectiveGamma() const;
    ByteBuffer& pixels() { return mPixels; }
    const ByteBuffer& pixels() const { return mPixels; }
    uint8_t* pixelAt(int32_t x, int32_t y);
    const uint8_t* pixelAt(int32_t x, int32_t y) const;

    // R, G, B, A as linear values (raised to the effective gamma unless it is 1). No range check.
    std::array<float, 4> pixel(int32_t x, int32_t y) const;
    void flipVertically();

private:
    void loadFromStream(Io::SeekableBinaryInputStream& stream, ImageFormat format);
    void loadExr(Io::SeekableBinaryInputStream& stream);
    void loadRadianceHdr(Io::SeekableBinaryInputStream& stream);
    void loadTga(Io::SeekableBinaryInputStream& stream);
    void loadTiff(Io::SeekableBinaryInputStream& stream);
    void loadWxImage(Io::SeekableBinaryInputStream& stream, ImageFormat format);

    // Sets the size and format and sizes the block. Sizes above MaxPixelBytes (computed in 64
    // bits) or below 1 throw tooLargeMessage before anything is allocated.
    void allocatePixels(int64_t width, int64_t height, PixelFormat format, const char* tooLargeMessage);

    int32_t mWidth = 0;
    int32_t mHeight = 0;
    PixelFormat mFormat = PixelFormat::None;
    float mGamma = 1.0f;
    ByteBuffer mPixels;
};

namespace Detail {
// The module every stop report of the image loaders names.
inline constexpr const char* ImageModule = "tarviolib/image/image";
// The bytes between the stream's position and its end.
int64_t remainingBytes(Io::SeekableBinaryInputStream& stream);
} // namespace Detail

} // namespace Tarvio
