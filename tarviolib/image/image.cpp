#include "tarviolib/image/image.h"

#include "tarviolib/core/exception.h"
#include "tarviolib/core/stopreport.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace Tarvio {

const EnumNameTable<ImageFormat, 9> ImageFormatNames({
    {ImageFormat::bmp, L"bmp"},
    {ImageFormat::png, L"png"},
    {ImageFormat::jpg, L"jpg"},
    {ImageFormat::exr, L"exr"},
    {ImageFormat::gif, L"gif"},
    {ImageFormat::tga, L"tga"},
    {ImageFormat::tiff, L"tiff"},
    {ImageFormat::hdr, L"hdr"},
    {ImageFormat::determineFromExt, L"determineFromExt"},
});

namespace {

struct FormatTraits {
    int32_t channels;
    int32_t bytes;
};

constexpr FormatTraits Traits[] = {{0, 0}, {3, 3}, {4, 4}, {3, 12}, {4, 16}, {1, 1}, {1, 4}, {3, 4}};

const FormatTraits* traitsOf(PixelFormat format) {
    const auto index = static_cast<int32_t>(format);
    return index >= 0 && index < 8 ? &Traits[index] : nullptr;
}

constexpr float InverseOf255 = 1.0f / 255.0f;

float readFloat(const uint8_t* bytes) {
    float value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

} // namespace

int32_t channelCount(PixelFormat format) {
    const FormatTraits* traits = traitsOf(format);
    if (!traits) {
        throwStop(Detail::ImageModule, 36);
    }
    return traits->channels;
}

int32_t bytesPerPixel(PixelFormat format) {
    const FormatTraits* traits = traitsOf(format);
    if (!traits) {
        throwStop(Detail::ImageModule, 59);
    }
    return traits->bytes;
}

ImageFormat imageFormatFromPath(const Io::Path& path) {
    const String extension = path.extension().lowerCased();
    static const struct {
        const char* extension;
        ImageFormat format;
    } Extensions[] = {
        {"exr", ImageFormat::exr}, {"bmp", ImageFormat::bmp}, {"png", ImageFormat::png},
        {"jpg", ImageFormat::jpg}, {"jpeg", ImageFormat::jpg}, {"gif", ImageFormat::gif},
        {"tga", ImageFormat::tga}, {"tif", ImageFormat::tiff}, {"tiff", ImageFormat::tiff},
        {"hdr", ImageFormat::hdr}, {"pic", ImageFormat::hdr},
    };
    for (const auto& entry : Extensions) {
        if (extension == entry.extension) {
            return entry.format;
        }
    }
    throw Exception("Unrecognized bitmap format in filename \"" + path.text() + "\"");
}

std::array<float, 3> rgbeToFloat(const uint8_t rgbe[4]) {
    if (rgbe[3] == 0) {
        return {0.0f, 0.0f, 0.0f};
    }
    const float f = std::ldexp(1.0f, static_cast<int>(rgbe[3]) - 136);
    return {(rgbe[0] + 0.5f) * f, (rgbe[1] + 0.5f) * f, (rgbe[2] + 0.5f) * f};
}

std::array<uint8_t, 4> floatToRgbe(float r, float g, float b) {
    // NaN channels count as 0 and infinite ones as the largest float, so that no conversion to
    // a byte is ever out of range.
    const auto sane = [](float value) {
        return std::isnan(value) ? 0.0f : std::min(value, std::numeric_limits<float>::max());
    };
    r = sane(r);
    g = sane(g);
    b = sane(b);
    const float m = std::max({r, g, b});
    if (m <= 1e-32f) {
        return {0, 0, 0, 0};
    }
    int exponent = 0;
    const float mantissa = std::frexp(m, &exponent);
    if (exponent > 127) {
        // Beyond the format's range: the brightest value it holds.
        return {255, 255, 255, 255};
    }
    const float scale = mantissa * 255.9999f / m;
    const auto channel = [scale](float value) {
        return value > 0.0f ? static_cast<uint8_t>(value * scale) : uint8_t(0);
    };
    return {channel(r), channel(g), channel(b), static_cast<uint8_t>(exponent + 128)};
}

Image::Image(int32_t width, int32_t height, PixelFormat format, float gamma) : mGamma(gamma) {
    allocatePixels(width, height, format, "Image too large.");
}

void Image::allocatePixels(int64_t width, int64_t height, PixelFormat format, const char* tooLargeMessage) {
    const int64_t bytes = bytesPerPixel(format);
    // Each factor is below 2^32 in every caller, so the product is checked in two steps that
    // cannot overflow.
    if (width < 1 || height < 1 || width > MaxPixelBytes || height > MaxPixelBytes ||
        width * height > MaxPixelBytes || width * height * bytes > MaxPixelBytes) {
        throw Exception(tooLargeMessage);
    }
    mWidth = static_cast<int32_t>(width);
    mHeight = static_cast<int32_t>(height);
    mFormat = format;
    mPixels.resize(width * height * bytes, false);
}

Result<Image> Image::load(Io::SeekableBinaryInputStream& stream, ImageFormat format) {
    Image image;
    try {
        image.loadFromStream(stream, format);
    } catch (const Exception& exception) {
        return Result<Image>::fromError(exceptionMessage(exception));
    }
    return Result<Image>(std::move(image));
}

void Image::loadFromStream(Io::SeekableBinaryInputStream& stream, ImageFormat format) {
    switch (format) {
    case ImageFormat::exr:
        loadExr(stream);
        break;
    case ImageFormat::tga:
        loadTga(stream);
        break;
    case ImageFormat::tiff:
        loadTiff(stream);
        break;
    case ImageFormat::hdr:
        loadRadianceHdr(stream);
        break;
    default:
        loadWxImage(stream, format);
        break;
    }
}

uint8_t* Image::pixelAt(int32_t x, int32_t y) {
    return mPixels.data() + int64_t(bytesPerPixel(mFormat)) * (x + int64_t(y) * mWidth);
}

const uint8_t* Image::pixelAt(int32_t x, int32_t y) const {
    return const_cast<Image*>(this)->pixelAt(x, y);
}

std::array<float, 4> Image::pixel(int32_t x, int32_t y) const {
    const uint8_t* p = pixelAt(x, y);
    std::array<float, 4> c;
    switch (mFormat) {
    case PixelFormat::Rgb8:
        c = {p[0] * InverseOf255, p[1] * InverseOf255, p[2] * InverseOf255, 1.0f};
        break;
    case PixelFormat::Rgba8:
        c = {p[0] * InverseOf255, p[1] * InverseOf255, p[2] * InverseOf255, p[3] * InverseOf255};
        break;
    case PixelFormat::RgbFloat:
        c = {readFloat(p), readFloat(p + 4), readFloat(p + 8), 1.0f};
        break;
    case PixelFormat::RgbaFloat:
        c = {readFloat(p), readFloat(p + 4), readFloat(p + 8), readFloat(p + 12)};
        break;
    case PixelFormat::Gray8:
        c = {p[0] * InverseOf255, p[0] * InverseOf255, p[0] * InverseOf255, 1.0f};
        break;
    case PixelFormat::GrayFloat:
        c = {readFloat(p), readFloat(p), readFloat(p), 1.0f};
        break;
    case PixelFormat::Rgbe: {
        const std::array<float, 3> rgb = rgbeToFloat(p);
        c = {rgb[0], rgb[1], rgb[2], 1.0f};
        break;
    }
    default:
        throwStop(Detail::ImageModule, 154);
    }
    const float gamma = effectiveGamma();
    if (gamma != 1.0f) {
        for (float& channel : c) {
            channel = std::pow(channel, gamma);
        }
    }
    return c;
}

float Image::effectiveGamma() const {
    return mGamma > 0.0f && std::isfinite(mGamma) ? mGamma : 1.0f;
}

void Image::flipVertically() {
    const int64_t rowBytes = int64_t(bytesPerPixel(mFormat)) * mWidth;
    for (int32_t i = 0; i < mHeight / 2; ++i) {
        std::swap_ranges(mPixels.data() + i * rowBytes, mPixels.data() + (i + 1) * rowBytes,
                         mPixels.data() + (mHeight - 1 - i) * rowBytes);
    }
}

namespace Detail {

int64_t remainingBytes(Io::SeekableBinaryInputStream& stream) {
    const int64_t position = stream.tellg();
    stream.seekg(0, SeekOrigin::End);
    const int64_t end = stream.tellg();
    stream.seekg(position, SeekOrigin::Begin);
    return end - position;
}

} // namespace Detail

} // namespace Tarvio
