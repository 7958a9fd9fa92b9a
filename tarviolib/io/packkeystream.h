#pragma once

#include <cstdint>

namespace Tarvio {

// The scrambling of a pack file: every stored byte is XORed with one byte of this generator.
// Shared with the pack writer, which builds without the rest of the library, so it depends on
// nothing but the standard library.
class PackKeystream {
public:
    // The state at the first byte of a stream scrambled with seed.
    explicit PackKeystream(uint32_t seed);

    // Unscrambles (or scrambles: the same XOR) size bytes in place, one step per byte.
    void apply(uint8_t* data, int64_t size);
    // Steps over count bytes without touching data. The step is linear over GF(2), so this jumps
    // with one matrix product per set bit of count (at most 63) instead of stepping count times.
    void advance(int64_t count);

    uint64_t state() const { return mState; }
    friend bool operator==(const PackKeystream& left, const PackKeystream& right) {
        return left.mState == right.mState;
    }

private:
    uint64_t mState;
};

} // namespace Tarvio
