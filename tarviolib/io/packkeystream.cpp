#include "tarviolib/io/packkeystream.h"

namespace Tarvio {

namespace {

constexpr uint32_t FoldLow = 0x6A09E667u;
constexpr uint32_t FoldHigh = 0xBB67AE85u;
constexpr uint32_t RoundStep = 0x9E3779B9u;
constexpr uint32_t Key[4] = {0x3C6EF372u, 0xA54FF53Au, 0x510E527Fu, 0x9B05688Cu};
constexpr int Rounds = 6;
constexpr int WarmUpSteps = 4;
// Any non-zero state works; zero would never leave zero.
constexpr uint64_t ZeroReplacement = 0x1F83D9AB5BE0CD19ull;
constexpr uint32_t ByteFactor = 167u;

inline uint64_t step(uint64_t x) {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    return x;
}

// A 64 x 64 matrix over GF(2), kept as the XORs of its columns for each value of each of the
// state's 16 nibbles: the product with a state is 16 lookups.
struct Matrix {
    uint64_t nibbles[16][16];

    // From the images of the 64 single bits.
    void setColumns(const uint64_t (&columns)[64]) {
        for (int nibble = 0; nibble < 16; ++nibble) {
            for (uint32_t value = 0; value < 16; ++value) {
                uint64_t sum = 0;
                for (int bit = 0; bit < 4; ++bit) {
                    if ((value >> bit) & 1) {
                        sum ^= columns[4 * nibble + bit];
                    }
                }
                nibbles[nibble][value] = sum;
            }
        }
    }

    uint64_t operator*(uint64_t state) const {
        uint64_t product = 0;
        // Word-sized shifts: the installer is a 32-bit program.
        for (int half = 0; half < 2; ++half) {
            uint32_t word = static_cast<uint32_t>(state >> (32 * half));
            for (int nibble = 8 * half; nibble < 8 * half + 8; ++nibble, word >>= 4) {
                product ^= nibbles[nibble][word & 15];
            }
        }
        return product;
    }
};

// The step as a matrix T, and its powers T^(2^k) for every bit of a count.
struct JumpTable {
    Matrix powers[64];

    JumpTable() {
        uint64_t columns[64];
        for (int bit = 0; bit < 64; ++bit) {
            columns[bit] = step(uint64_t{1} << bit);
        }
        powers[0].setColumns(columns);
        for (int k = 1; k < 64; ++k) {
            // T^(2^k) = T^(2^(k-1)) squared, column by column.
            for (uint64_t& column : columns) {
                column = powers[k - 1] * column;
            }
            powers[k].setColumns(columns);
        }
    }
};

const JumpTable& jumpTable() {
    static const JumpTable table;
    return table;
}

inline uint32_t rotateLeft(uint32_t value, int count) {
    return (value << count) | (value >> (32 - count));
}

} // namespace

PackKeystream::PackKeystream(uint32_t seed) {
    uint32_t low = seed ^ FoldLow;
    uint32_t high = seed ^ rotateLeft(seed, 16) ^ FoldHigh;
    uint32_t sum = 0;
    for (int round = 0; round < Rounds; ++round) {
        sum += RoundStep;
        low += ((high << 4) + Key[0]) ^ (high + sum) ^ ((high >> 5) + Key[1]);
        high += ((low << 4) + Key[2]) ^ (low + sum) ^ ((low >> 5) + Key[3]);
    }
    uint64_t state = (uint64_t{high} << 32) | low;
    if (state == 0) {
        state = ZeroReplacement;
    }
    for (int i = 0; i < WarmUpSteps; ++i) {
        state = step(state);
    }
    mState = state;
}

void PackKeystream::apply(uint8_t* data, int64_t size) {
    uint64_t state = mState;
    for (int64_t i = 0; i < size; ++i) {
        state = step(state);
        data[i] ^= static_cast<uint8_t>(static_cast<uint32_t>(state) * ByteFactor);
    }
    mState = state;
}

void PackKeystream::advance(int64_t count) {
    const JumpTable& table = jumpTable();
    uint64_t state = mState;
    uint64_t bits = static_cast<uint64_t>(count);
    for (int k = 0; bits != 0; ++k, bits >>= 1) {
        if ((bits & 1) != 0) {
            state = table.powers[k] * state;
        }
    }
    mState = state;
}

} // namespace Tarvio
