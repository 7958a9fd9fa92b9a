#include "tarviolib/io/deflateinputstream.h"

#include "tarviolib/core/exception.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace Tarvio::Io {

namespace {

constexpr int32_t BufferSize = 131072;

} // namespace

struct Detail::InflateState : Object {
    z_stream stream{};
};

DeflateInputStream::DeflateInputStream(UniquePtr<BinaryInputStream> source) : mSource(std::move(source)) {
    if (!mSource) {
        return;
    }
    mInflate = makeUnique<Detail::InflateState>();
    if (inflateInit(&mInflate->stream) != Z_OK) {
        throwException("Error while uncompressing data");
    }
    mInput.allocate(BufferSize);
    mOutput.allocate(BufferSize);
}

DeflateInputStream::~DeflateInputStream() {
    if (mInflate) {
        inflateEnd(&mInflate->stream);
    }
}

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
        if (delivered == size) {
            return delivered;
        }
        if (mStreamEnd) {
            mEof = true;
            return delivered;
        }
        refill();
        if (mProduced == 0) {
            mEof = true;
            return delivered;
        }
    }
}

void DeflateInputStream::refill() {
    z_stream& stream = mInflate->stream;
    mProduced = 0;
    mConsumed = 0;
    do {
        if (stream.avail_in == 0) {
            stream.next_in = mInput.data();
            stream.avail_in = static_cast<uInt>(mSource->read(mInput.data(), mInput.size()));
        }
        stream.next_out = mOutput.data() + mProduced;
        stream.avail_out = static_cast<uInt>(mOutput.size() - mProduced);
        const int result = inflate(&stream, Z_NO_FLUSH);
        if (result != Z_OK && result != Z_STREAM_END) {
            mProduced = 0;
            throwException("Error while uncompressing data");
        }
        mStreamEnd = result == Z_STREAM_END;
        mProduced = mOutput.size() - static_cast<int32_t>(stream.avail_out);
    } while (!mStreamEnd && mProduced < mOutput.size());
}

bool DeflateInputStream::isEofImpl() const {
    requireSource();
    return mEof;
}

} // namespace Tarvio::Io
