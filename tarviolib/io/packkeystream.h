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

    // How apply steps the generator; the bytes are the same either way. A long run is cut into
    // parts, each started from its own state by a jump, and the parts' steps are interleaved, so
    // that the processor overlaps their chains of dependent instructions: Scalar in general
    // registers, Sse2 two parts to a register (a 32-bit processor has no 64-bit shifts otherwise).
    enum class Lanes { Scalar, Sse2 };
    // Sse2 where the processor has it (decided once, at run time), else Scalar.
    static Lanes fastestLanes();

    // Unscrambles (or scrambles: the same XOR) size bytes in place, one step per byte.
    void apply(uint8_t* data, int64_t size) { apply(data, size, fastestLanes()); }
    // lanes: Sse2 only where fastestLanes() is Sse2.
    void apply(uint8_t* data, int64_t size, Lanes lanes);
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
