// Radiance RGBE pictures: the text header, the resolution line, and both scanline encodings
// (run-length by components and the older repeated pixels).

#include "tarviolib/core/buffer.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/image/image.h"
#include "tarviolib/io/textreading.h"

#include <cstring>
#include <limits>
#include <locale>
#include <regex>
#include <sstream>
#include <string>

namespace Tarvio {

namespace {

constexpr const char* CorruptedMessage = "Not a Radiance HDR file. Corrupted data.";
constexpr const char* ResolutionLineMessage =
    "Not a Radiance HDR file. Invalid header line that specifies the image resolution.";

// Two signs, two axes, two int32 numbers without leading zeros and three separators: no valid
// resolution line is longer. Longer ones are refused before the regular expression sees them.
constexpr int32_t MaxResolutionLine = 32;

// A decimal number in classic notation; text that is not one reads as 0.
float decimalValue(const String& text) {
    std::istringstream in(text.toUtf8().text());
    in.imbue(std::locale::classic());
    float value = 0.0f;
    in >> value;
    return in.fail() ? 0.0f : value;
}

// Decimal digits; a number beyond int32 is damaged data.
int32_t dimension(const std::string& digits) {
    int64_t value = 0;
    for (const char digit : digits) {
        value = value * 10 + (digit - '0');
        if (value > std::numeric_limits<int32_t>::max()) {
            throw Exception(CorruptedMessage);
        }
    }
    return static_cast<int32_t>(value);
}

uint8_t readByte(Io::SeekableBinaryInputStream& stream) {
    uint8_t byte;
    Io::readObject(stream, byte);
    return byte;
}

// One scanline of length RGBE values into line.
void readScanline(Io::SeekableBinaryInputStream& stream, uint8_t* line, int32_t length) {
    const int64_t start = stream.tellg();
    uint8_t marker[2];
    marker[0] = readByte(stream);
    marker[1] = readByte(stream);
    if (marker[0] == 2 && marker[1] == 2) {
        const int32_t high = readByte(stream);
        const int32_t low = readByte(stream);
        if (((high << 8) | low) != length) {
            throw Exception(CorruptedMessage);
        }
        for (int32_t component = 0; component < 4; ++component) {
            int32_t position = 0;
            while (position < length) {
                const int32_t count = readByte(stream);
                const bool run = count > 128;
                const int32_t n = run ? count - 128 : count;
                if (n > length - position) {
                    throw Exception(CorruptedMessage);
                }
                if (run) {
                    const uint8_t value = readByte(stream);
                    for (int32_t i = 0; i < n; ++i) {
                        line[(position + i) * 4 + component] = value;
                    }
                } else {
                    for (int32_t i = 0; i < n; ++i) {
                        line[(position + i) * 4 + component] = readByte(stream);
                    }
                }
                position += n;
            }
        }
        return;
    }
    stream.seekg(start, SeekOrigin::Begin);
    int32_t position = 0;
    int32_t shift = 0;
    while (position < length) {
        uint8_t pixel[4];
        Io::readObject(stream, pixel);
        if (pixel[0] == 1 && pixel[1] == 1 && pixel[2] == 1) {
            // Counts of 2^32 and beyond pass any row.
            const int64_t count = shift < 32 ? int64_t(pixel[3]) << shift : std::numeric_limits<int64_t>::max();
            if (position == 0 || count > length - position) {
                throw Exception(CorruptedMessage);
            }
            for (int64_t i = 0; i < count; ++i) {
                std::memcpy(line + (position + i) * 4, line + (position - 1) * 4, 4);
            }
            position += static_cast<int32_t>(count);
            shift += 8;
        } else {
            std::memcpy(line + position * 4, pixel, 4);
            ++position;
            shift = 0;
        }
    }
}

} // namespace

void Image::loadRadianceHdr(Io::SeekableBinaryInputStream& stream) {
    const Optional<String> signature = Io::readLine(stream, '\n', 0);
    if (!signature || (*signature != "#?RADIANCE" && *signature != "#?RGBE")) {
        throw Exception("'#?RADIANCE'/'#?RGBE' missing in the header");
    }
    float exposure = 1.0f;
    while (!stream.isEof()) {
        const Optional<String> line = Io::readLine(stream, '\n', 0);
        if (!line) {
            throw Exception("Not a Radiance HDR file. Eof reached while parsing the header.");
        }
        if (line->isEmpty()) {
            break;
        }
        const int32_t equals = line->find("=");
        if (equals == String::NotFound) {
            continue;
        }
        String key = line->substr(0, equals);
        String value = line->substr(equals + 1);
        key.trim();
        value.trim();
        if (key == "FORMAT") {
            if (value != "32-bit_rle_rgbe") {
                throw Exception("Unsupported Radiance HDR file format: " + value);
            }
        } else if (key == "GAMMA") {
            mGamma = decimalValue(value);
        } else if (key == "EXPOSURE") {
            exposure *= decimalValue(value);
        }
    }

    const Optional<String> resolution = Io::readLine(stream, '\n', 0);
    if (!resolution || resolution->isEmpty()) {
        throw Exception("Not a Radiance HDR file. Invalid header.");
    }
    static const std::regex Pattern("([+,-])([X,Y]) ([1-9][0-9]*) ([+,-])([X,Y]) ([1-9][0-9]*)",
                                    std::regex::ECMAScript);
    const std::string text = resolution->toUtf8().text();
    std::smatch groups;
    if (resolution->size() > MaxResolutionLine || !std::regex_match(text, groups, Pattern)) {
        throw Exception(ResolutionLineMessage);
    }
    const bool firstDecreasing = groups[1] == "-";
    const bool secondDecreasing = groups[4] == "-";
    const bool xFirst = groups[2] == "X";
    const int32_t first = dimension(groups[3]);
    const int32_t second = dimension(groups[6]);
    const bool xDecreasing = xFirst ? firstDecreasing : secondDecreasing;
    const bool yDecreasing = xFirst ? secondDecreasing : firstDecreasing;
    const int32_t width = xFirst ? first : second;
    const int32_t height = xFirst ? second : first;
    const int32_t scanlines = first;
    const int32_t length = second;

    // Every scanline takes at least one pixel's four bytes: refuse a size the data cannot hold
    // before allocating for it.
    if (Detail::remainingBytes(stream) < int64_t(scanlines) * 4) {
        throw Exception("Could not load object from the stream.");
    }
    allocatePixels(width, height, PixelFormat::Rgbe, CorruptedMessage);
    Buffer<uint8_t> line(length * 4);
    std::memset(line.data(), 0, static_cast<std::size_t>(line.size()));
    for (int32_t s = 0; s < scanlines; ++s) {
        readScanline(stream, line.data(), length);
        for (int32_t k = 0; k < length; ++k) {
            int32_t x = xFirst ? s : k;
            int32_t y = xFirst ? k : s;
            if (xDecreasing) {
                x = width - 1 - x;
            }
            if (yDecreasing) {
                y = height - 1 - y;
            }
            std::memcpy(pixelAt(x, y), line.data() + k * 4, 4);
        }
    }

    if (exposure != 1.0f && exposure > 0.0f) {
        const float factor = 1.0f / exposure;
        const int64_t count = int64_t(width) * height;
        for (int64_t i = 0; i < count; ++i) {
            uint8_t* p = mPixels.data() + i * 4;
            const std::array<float, 3> rgb = rgbeToFloat(p);
            const std::array<uint8_t, 4> scaled = floatToRgbe(rgb[0] * factor, rgb[1] * factor, rgb[2] * factor);
            std::memcpy(p, scaled.data(), 4);
        }
    }
}

} // namespace Tarvio
