#pragma once

#include "tarviolib/core/bytebuffer.h"
#include "tarviolib/core/heapallocator.h"
#include "tarviolib/core/object.h"
#include "tarviolib/io/stream.h"

#include <cstdint>

namespace Tarvio::Io {

// Reads a block the caller keeps alive. Until it is given a block (default construction, or a null
// pointer with bytes to read) every operation throws "Using uninitialized MemoryInputStream"; an
// empty block is a valid, empty stream, whatever its pointer (an empty Array has none).
class MemoryInputStream : public SeekableBinaryInputStream {
public:
    MemoryInputStream() = default;
    MemoryInputStream(const void* data, int64_t size);

    // Points the stream at a block: position 0, end flag clear.
    void reset(const void* data, int64_t size);

    int64_t tellg() const override;
    // Targets from 0 to the size inclusive.
    void seekg(int64_t offset, SeekOrigin origin) override;

protected:
    int64_t readImpl(void* data, int64_t size) override;
    bool isEofImpl() const override;

private:
    void requireData() const;

    const uint8_t* mData = nullptr;
    int64_t mSize = 0;
    bool mInitialised = false;
    int64_t mPosition = 0;
    bool mEof = false;
};

template <typename Allocator, typename Size>
class ArrayInputStream;

// A memory stream that owns its bytes.
template <>
class ArrayInputStream<HeapAllocator, int64_t> : public MemoryInputStream, public Noncopyable {
public:
    explicit ArrayInputStream(ByteBuffer&& bytes);

private:
    ByteBuffer mBytes;
};

} // namespace Tarvio::Io
