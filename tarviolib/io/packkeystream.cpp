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
    uint64_t state = mState;
    for (int64_t i = 0; i < count; ++i) {
        state = step(state);
    }
    mState = state;
}

} // namespace Tarvio
