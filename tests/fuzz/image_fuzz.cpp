// One image loader over arbitrary bytes (the format is chosen at build time by
// TARVIO_FUZZ_IMAGE_FORMAT): decoding, then a read of the decoded pixels. A refused picture is an
// answer; only a crash, a leak, undefined behaviour, a hang, or an image whose size does not match
// its pixel block is a finding.

#include "tarviolib/image/image.h"
#include "tarviolib/io/memoryinputstream.h"

#include <tiffio.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// Enough pixels to reach every row's start and end without making big pictures slow.
constexpr int64_t PixelsRead = 1 << 16;

void readPixels(const Tarvio::Image& image) {
    const int64_t count = int64_t(image.width()) * image.height();
    if (image.pixels().size() != count * Tarvio::bytesPerPixel(image.format())) {
        std::abort();
    }
    const int64_t step = count > PixelsRead ? count / PixelsRead : 1;
    volatile float sink = 0.0f;
    for (int64_t i = 0; i < count; i += step) {
        const auto c = image.pixel(static_cast<int32_t>(i % image.width()), static_cast<int32_t>(i / image.width()));
        sink = sink + c[0] + c[3];
    }
    const auto last = image.pixel(image.width() - 1, image.height() - 1);
    sink = sink + last[1];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // libtiff's default handlers print every complaint about a damaged file.
    static const bool quiet = (TIFFSetErrorHandler(nullptr), TIFFSetWarningHandler(nullptr), true);
    (void)quiet;
    Tarvio::Io::MemoryInputStream stream(data, static_cast<int64_t>(size));
    const Tarvio::Result<Tarvio::Image> image = Tarvio::Image::load(stream, Tarvio::ImageFormat::TARVIO_FUZZ_IMAGE_FORMAT);
    if (image.ok()) {
        readPixels(image.value());
    }
    return 0;
}
