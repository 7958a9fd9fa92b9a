#include "tarviolib/io/packkeystream.h"

#if defined(__i386__) || defined(__x86_64__)
#define TARVIO_KEYSTREAM_SSE2 1
#include <cpuid.h>
#include <emmintrin.h>
// Only these functions use SSE2: the 32-bit program must also run on processors without it.
#define TARVIO_SSE2 __attribute__((target("sse2")))
#ifdef __i386__
// A 32-bit Windows thread's stack is aligned to 4 bytes only, and SSE2 registers are spilled with
// 16-byte aligned moves.
#define TARVIO_SSE2_ENTRY __attribute__((target("sse2"), force_align_arg_pointer))
#else
#define TARVIO_SSE2_ENTRY TARVIO_SSE2
#endif
#endif

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

inline uint8_t keyByte(uint64_t state) { return static_cast<uint8_t>(static_cast<uint32_t>(state) * ByteFactor); }

// The parts of a run stepped together, and the shortest run cut into parts: below it the jumps to
// the parts' states cost more than the overlap gains.
constexpr int LaneCount = 8;
constexpr int64_t LanesFrom = 16 * 1024;
// Each part's length is a multiple of this, the steps that the Sse2 lanes take between writes.
constexpr int64_t LaneGroup = 8;

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

uint64_t jump(uint64_t state, int64_t count) {
    const JumpTable& table = jumpTable();
    uint64_t bits = static_cast<uint64_t>(count);
    for (int k = 0; bits != 0; ++k, bits >>= 1) {
        if ((bits & 1) != 0) {
            state = table.powers[k] * state;
        }
    }
    return state;
}

// Part l of the run is data[l * partSize, (l + 1) * partSize), from states[l]; the states end as
// the parts' last states.
void applyLanesScalar(uint8_t* data, int64_t partSize, uint64_t (&states)[LaneCount]) {
    for (int64_t i = 0; i < partSize; ++i) {
        for (int lane = 0; lane < LaneCount; ++lane) {
            states[lane] = step(states[lane]);
            data[lane * partSize + i] ^= keyByte(states[lane]);
        }
    }
}

#ifdef TARVIO_KEYSTREAM_SSE2

bool processorHasSse2() {
#ifdef __x86_64__
    return true;
#else
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    return __get_cpuid(1, &eax, &ebx, &ecx, &edx) != 0 && (edx & bit_SSE2) != 0;
#endif
}

TARVIO_SSE2 inline __m128i stepPair(__m128i x) {
    x = _mm_xor_si128(x, _mm_slli_epi64(x, 13));
    x = _mm_xor_si128(x, _mm_srli_epi64(x, 7));
    return _mm_xor_si128(x, _mm_slli_epi64(x, 17));
}

// Each byte times ByteFactor, modulo 256.
TARVIO_SSE2 inline __m128i multiplyBytes(__m128i bytes) {
    const __m128i factor = _mm_set1_epi16(ByteFactor);
    const __m128i even = _mm_and_si128(_mm_mullo_epi16(bytes, factor), _mm_set1_epi16(0xFF));
    const __m128i odd = _mm_slli_epi16(_mm_mullo_epi16(_mm_srli_epi16(bytes, 8), factor), 8);
    return _mm_or_si128(even, odd);
}

TARVIO_SSE2 inline void xorEight(uint8_t* data, __m128i key) {
    __m128i* at = reinterpret_cast<__m128i*>(data);
    _mm_storel_epi64(at, _mm_xor_si128(_mm_loadl_epi64(at), key));
}

// As applyLanesScalar, two lanes to a register: each register takes LaneGroup steps, gathering
// the low byte of each state into one 64-bit word per lane, then XORs eight bytes per lane.
TARVIO_SSE2_ENTRY void applyLanesSse2(uint8_t* data, int64_t partSize, uint64_t (&states)[LaneCount]) {
    constexpr int Pairs = LaneCount / 2;
    const __m128i lowByte = _mm_set_epi32(0, 0xFF, 0, 0xFF);
    __m128i pairs[Pairs];
    for (int pair = 0; pair < Pairs; ++pair) {
        pairs[pair] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&states[2 * pair]));
    }
    for (int64_t i = 0; i < partSize; i += LaneGroup) {
        __m128i keys[Pairs];
        for (int pair = 0; pair < Pairs; ++pair) {
            keys[pair] = _mm_setzero_si128();
        }
        for (int byte = 0; byte < LaneGroup; ++byte) {
            for (int pair = 0; pair < Pairs; ++pair) {
                pairs[pair] = stepPair(pairs[pair]);
                keys[pair] = _mm_or_si128(keys[pair], _mm_slli_epi64(_mm_and_si128(pairs[pair], lowByte), 8 * byte));
            }
        }
        for (int pair = 0; pair < Pairs; ++pair) {
            const __m128i key = multiplyBytes(keys[pair]);
            xorEight(data + 2 * pair * partSize + i, key);
            xorEight(data + (2 * pair + 1) * partSize + i, _mm_unpackhi_epi64(key, key));
        }
    }
    for (int pair = 0; pair < Pairs; ++pair) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(&states[2 * pair]), pairs[pair]);
    }
}

#endif

} // namespace

PackKeystream::Lanes PackKeystream::fastestLanes() {
#ifdef TARVIO_KEYSTREAM_SSE2
    static const Lanes fastest = processorHasSse2() ? Lanes::Sse2 : Lanes::Scalar;
    return fastest;
#else
    return Lanes::Scalar;
#endif
}

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

void PackKeystream::apply(uint8_t* data, int64_t size, Lanes lanes) {
    uint64_t state = mState;
    if (size >= LanesFrom) {
        const int64_t partSize = size / LaneCount / LaneGroup * LaneGroup;
        uint64_t states[LaneCount] = {state};
        for (int lane = 1; lane < LaneCount; ++lane) {
            states[lane] = jump(states[lane - 1], partSize);
        }
#ifdef TARVIO_KEYSTREAM_SSE2
        if (lanes == Lanes::Sse2) {
            applyLanesSse2(data, partSize, states);
        } else {
            applyLanesScalar(data, partSize, states);
        }
#else
        static_cast<void>(lanes);
        applyLanesScalar(data, partSize, states);
#endif
        state = states[LaneCount - 1];
        data += LaneCount * partSize;
        size -= LaneCount * partSize;
    }
    for (int64_t i = 0; i < size; ++i) {
        state = step(state);
        data[i] ^= keyByte(state);
    }
    mState = state;
}

void PackKeystream::advance(int64_t count) { mState = jump(mState, count); }

} // namespace Tarvio
