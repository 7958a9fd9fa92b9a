#include "tarviolib/core/md5.h"

#include "tarviolib/core/array.h"

#include <cstring>

namespace Tarvio {

namespace {

constexpr uint32_t rotateLeft(uint32_t value, int bits) { return (value << bits) | (value >> (32 - bits)); }

// One step of a round: f is the round's boolean function of b, c and d.
template <typename F>
void step(F f, uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t word, int shift, uint32_t constant) {
    a = b + rotateLeft(a + f(b, c, d) + word + constant, shift);
}

constexpr uint32_t roundF(uint32_t x, uint32_t y, uint32_t z) { return (x & y) | (~x & z); }
constexpr uint32_t roundG(uint32_t x, uint32_t y, uint32_t z) { return (x & z) | (y & ~z); }
constexpr uint32_t roundH(uint32_t x, uint32_t y, uint32_t z) { return x ^ y ^ z; }
constexpr uint32_t roundI(uint32_t x, uint32_t y, uint32_t z) { return y ^ (x | ~z); }

void encodeLittleEndian(uint8_t* output, const uint32_t* input, int32_t wordCount) {
    for (int32_t i = 0; i < wordCount; ++i) {
        for (int32_t byte = 0; byte < 4; ++byte) {
            output[4 * i + byte] = static_cast<uint8_t>(input[i] >> (8 * byte));
        }
    }
}

} // namespace

Md5::Md5() : mState{0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476} {}

void Md5::update(const uint8_t* data, uint32_t count) {
    uint32_t index = (mBitCount[0] >> 3) & 0x3F;
    const uint32_t addedBits = count << 3;
    mBitCount[0] += addedBits;
    if (mBitCount[0] < addedBits) {
        ++mBitCount[1];
    }
    mBitCount[1] += count >> 29;

    uint32_t consumed = 0;
    const uint32_t free = 64 - index;
    if (count >= free) {
        std::memcpy(mBuffer + index, data, free);
        transform(mBuffer);
        for (consumed = free; count - consumed >= 64; consumed += 64) {
            transform(data + consumed);
        }
        index = 0;
    }
    std::memcpy(mBuffer + index, data + consumed, count - consumed);
}

void Md5::finalize() {
    if (mFinalized) {
        return;
    }
    static const uint8_t padding[64] = {0x80};
    uint8_t length[8];
    encodeLittleEndian(length, mBitCount, 2);
    const uint32_t index = (mBitCount[0] >> 3) & 0x3F;
    update(padding, index < 56 ? 56 - index : 120 - index);
    update(length, 8);
    encodeLittleEndian(mDigest, mState, 4);

    std::memset(mBuffer, 0, sizeof mBuffer);
    mBitCount[0] = 0;
    mBitCount[1] = 0;
    mFinalized = true;
}

NarrowString Md5::hexDigest() const {
    if (!mFinalized) {
        return NarrowString();
    }
    static const char digits[] = "0123456789abcdef";
    Array<char> text;
    text.reserve(2 * sizeof mDigest + 1);
    for (uint8_t byte : mDigest) {
        text.append(digits[byte >> 4]);
        text.append(digits[byte & 0x0F]);
    }
    text.append('\0');
    return NarrowString(std::move(text));
}

void Md5::transform(const uint8_t* block) {
    uint32_t x[16];
    for (int32_t i = 0; i < 16; ++i) {
        x[i] = uint32_t{block[4 * i]} | (uint32_t{block[4 * i + 1]} << 8) | (uint32_t{block[4 * i + 2]} << 16) |
               (uint32_t{block[4 * i + 3]} << 24);
    }
    uint32_t a = mState[0];
    uint32_t b = mState[1];
    uint32_t c = mState[2];
    uint32_t d = mState[3];

    // Each round walks the sixteen words in its own order with its four shifts, rotating a, b, c, d.
    struct Round {
        uint32_t (*function)(uint32_t, uint32_t, uint32_t);
        int32_t firstWord;
        int32_t wordStep;
        int shifts[4];
    };
    static const Round rounds[4] = {
        {roundF, 0, 1, {7, 12, 17, 22}},
        {roundG, 1, 5, {5, 9, 14, 20}},
        {roundH, 5, 3, {4, 11, 16, 23}},
        {roundI, 0, 7, {6, 10, 15, 21}},
    };
    static const uint32_t constants[64] = {
        0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
        0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
        0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
        0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
        0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
        0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
        0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
        0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
    };
    for (int32_t r = 0; r < 4; ++r) {
        const Round& round = rounds[r];
        for (int32_t i = 0; i < 16; ++i) {
            const uint32_t word = x[(round.firstWord + round.wordStep * i) & 15];
            step(round.function, a, b, c, d, word, round.shifts[i & 3], constants[16 * r + i]);
            const uint32_t rotated = d;
            d = c;
            c = b;
            b = a;
            a = rotated;
        }
    }

    mState[0] += a;
    mState[1] += b;
    mState[2] += c;
    mState[3] += d;
}

String md5Hex(const char* text) {
    Md5 digest;
    digest.update(reinterpret_cast<const uint8_t*>(text), static_cast<uint32_t>(std::strlen(text)));
    digest.finalize();
    return String(digest.hexDigest().text());
}

} // namespace Tarvio
