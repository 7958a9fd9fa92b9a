#pragma once

#include "tarviolib/core/buffer.h"

#include <cstdint>

namespace Tarvio {

// Pixel and entry storage: int64 size, no spare capacity. Sizes beyond one int32 allocation fail
// as out of memory.
class ByteBuffer : public Detail::ExactBlock<uint8_t, int64_t> {
public:
    ByteBuffer() = default;
    explicit ByteBuffer(int64_t size) { resize(size, false); }
};

} // namespace Tarvio
