#pragma once

#include "tarviolib/core/buffer.h"
#include "tarviolib/core/object.h"
#include "tarviolib/core/uniqueptr.h"
#include "tarviolib/io/stream.h"

#include <cstdint>

namespace Tarvio::Io {

namespace Detail {
struct InflateState;
}

// The original bytes of a zlib stream (RFC 1950; raw deflate and gzip are not accepted). Bytes
// after the compressed stream are never delivered. Corrupt or truncated data throws
// "Error while uncompressing data".
class DeflateInputStream : public BinaryInputStream, public Noncopyable {
public:
    // Without a source every read throws "Using uninitialized ZipInputStream".
    explicit DeflateInputStream(UniquePtr<BinaryInputStream> source);
    ~DeflateInputStream() override;

protected:
    int64_t readImpl(void* data, int64_t size) override;
    bool isEofImpl() const override;

private:
    void requireSource() const;
    // Inflates into the block until it is full or the stream has ended; answers the count.
    int64_t inflateInto(uint8_t* block, int64_t size);

    UniquePtr<BinaryInputStream> mSource;
    UniquePtr<Detail::InflateState> mInflate;
    Buffer<uint8_t> mInput;
    Buffer<uint8_t> mOutput;
    int32_t mProduced = 0;
    int32_t mConsumed = 0;
    bool mStreamEnd = false;
    bool mEof = false;
};

} // namespace Tarvio::Io
