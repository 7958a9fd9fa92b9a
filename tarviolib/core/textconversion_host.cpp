#include "tarviolib/core/textconversion.h"

// The host's stand-in for the Windows UTF-8 code page conversions: the same units for well-formed
// input, and U+FFFD for each maximal ill-formed subsequence as Windows does.

namespace Tarvio::Detail {

namespace {

constexpr uint32_t Replacement = 0xFFFD;

bool isContinuation(uint8_t byte, uint8_t low = 0x80, uint8_t high = 0xBF) {
    return byte >= low && byte <= high;
}

// Decodes one code point at bytes (not at its NUL) and advances past it.
uint32_t decodeUtf8(const uint8_t*& bytes) {
    const uint8_t lead = *bytes++;
    if (lead < 0x80) {
        return lead;
    }
    int continuations = 0;
    uint32_t codePoint = 0;
    uint8_t low = 0x80;
    uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        continuations = 1;
        codePoint = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        continuations = 2;
        codePoint = lead & 0x0Fu;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        continuations = 3;
        codePoint = lead & 0x07u;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return Replacement;
    }
    for (int i = 0; i < continuations; ++i) {
        // Only the second byte has a narrowed range; a bad byte is not consumed.
        if (!isContinuation(*bytes, i == 0 ? low : 0x80, i == 0 ? high : 0xBF)) {
            return Replacement;
        }
        codePoint = (codePoint << 6) | (*bytes++ & 0x3Fu);
    }
    return codePoint;
}

// Decodes one code point at units (not at its NUL) and advances past it.
uint32_t decodeUtf16(const wchar_t*& units) {
    const uint32_t first = static_cast<uint32_t>(*units++);
    if (first >= 0xD800 && first <= 0xDBFF) {
        const uint32_t second = static_cast<uint32_t>(*units);
        if (second >= 0xDC00 && second <= 0xDFFF) {
            ++units;
            return 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00);
        }
        return Replacement;
    }
    if ((first >= 0xDC00 && first <= 0xDFFF) || first > 0x10FFFF) {
        return Replacement;
    }
    return first;
}

} // namespace

int32_t convertUtf8ToUtf16(const char* bytes, wchar_t* units, int32_t capacity) {
    const auto* in = reinterpret_cast<const uint8_t*>(bytes);
    int32_t written = 0;
    auto put = [&](uint32_t unit) {
        if (written >= capacity) {
            return false;
        }
        units[written++] = static_cast<wchar_t>(unit);
        return true;
    };
    while (*in) {
        const uint32_t codePoint = decodeUtf8(in);
        const bool fits = codePoint < 0x10000
                              ? put(codePoint)
                              : put(0xD800 + ((codePoint - 0x10000) >> 10)) && put(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
        if (!fits) {
            return 0;
        }
    }
    return put(0) ? written : 0;
}

int32_t convertUtf16ToUtf8(const wchar_t* units, char* bytes, int32_t capacity) {
    int32_t written = 0;
    auto put = [&](uint32_t byte) {
        if (written >= capacity) {
            return false;
        }
        bytes[written++] = static_cast<char>(byte);
        return true;
    };
    while (*units) {
        const uint32_t c = decodeUtf16(units);
        bool fits = false;
        if (c < 0x80) {
            fits = put(c);
        } else if (c < 0x800) {
            fits = put(0xC0 | (c >> 6)) && put(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            fits = put(0xE0 | (c >> 12)) && put(0x80 | ((c >> 6) & 0x3F)) && put(0x80 | (c & 0x3F));
        } else {
            fits = put(0xF0 | (c >> 18)) && put(0x80 | ((c >> 12) & 0x3F)) && put(0x80 | ((c >> 6) & 0x3F)) &&
                   put(0x80 | (c & 0x3F));
        }
        if (!fits) {
            return 0;
        }
    }
    return put(0) ? written : 0;
}

} // namespace Tarvio::Detail
