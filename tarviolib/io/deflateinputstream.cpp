#include "tarviolib/io/deflateinputstream.h"

#include "tarviolib/core/exception.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace Tarvio::Io {

namespace {

constexpr int32_t BufferSize = 131072;
// zlib counts in 32 bits.
constexpr int64_t MaxDirectInflate = int64_t{1} << 30;

} // namespace

// zlib's state, ended with its owner: also when a later step of the stream's construction throws.
struct Detail::InflateState : Noncopyable {
    InflateState() {
        if (inflateInit(&stream) != Z_OK) {
            throwException("Error while uncompressing data");
        }
    }
    ~InflateState() { inflateEnd(&stream); }

    z_stream stream{};
};

DeflateInputStream::DeflateInputStream(UniquePtr<BinaryInputStream> source) : mSource(std::move(source)) {
    if (!mSource) {
        return;
    }
    mInflate = makeUnique<Detail::InflateState>();
    mInput.allocate(BufferSize);
    mOutput.allocate(BufferSize);
}

DeflateInputStream::~DeflateInputStream() = default;

void DeflateInputStream::requireSource() const {
    if (!mInflate) {
        throwException("Using uninitialized ZipInputStream");
    }
}

int64_t DeflateInputStream::readImpl(void* data, int64_t size) {
    requireSource();
    uint8_t* destination = static_cast<uint8_t*>(data);
    int64_t delivered = 0;
    while (true) {
        const int64_t count = std::min<int64_t>(size - delivered, mProduced - mConsumed);
        std::memcpy(destination + delivered, mOutput.data() + mConsumed, static_cast<std::size_t>(count));
        mConsumed += static_cast<int32_t>(count);
        delivered += count;
        if (delivered < size && size - delivered >= mOutput.size() && !mStreamEnd) {
            // A large request inflates straight into the caller's block, sparing a copy.
            delivered += inflateInto(destination + delivered, std::min(size - delivered, MaxDirectInflate));
            continue;
        }
        if (delivered == size) {
            return delivered;
        }
        if (mStreamEnd) {
            mEof = true;
            return delivered;
        }
        // Empty while inflating: a failure leaves nothing to deliver.
        mConsumed = 0;
        mProduced = 0;
        mProduced = static_cast<int32_t>(inflateInto(mOutput.data(), mOutput.size()));
        if (mProduced == 0) {
            mEof = true;
            return delivered;
        }
    }
}

int64_t DeflateInputStream::inflateInto(uint8_t* block, int64_t size) {
    z_stream& stream = mInflate->stream;
    stream.next_out = block;
    stream.avail_out = static_cast<uInt>(size);
    do {
        if (stream.avail_in == 0) {
            stream.next_in = mInput.data();
            stream.avail_in = static_cast<uInt>(mSource->read(mInput.data(), mInput.size()));
        }
        const int result = inflate(&stream, Z_NO_FLUSH);
        if (result != Z_OK && result != Z_STREAM_END) {
            throwException("Error while uncompressing data");
        }
        mStreamEnd = result == Z_STREAM_END;
    } while (!mStreamEnd && stream.avail_out > 0);
    return size - static_cast<int64_t>(stream.avail_out);
}

bool DeflateInputStream::isEofImpl() const {
    requireSource();
    return mEof;
}

} // namespace Tarvio::Io
