#include "tarviolib/io/stream.h"

#include "tarviolib/core/exception.h"
#include "tarviolib/core/stopreport.h"

#include <algorithm>
#include <cstring>

namespace Tarvio::Io {

namespace {

constexpr int64_t CopyBlockSize = 65536;

} // namespace

int64_t BinaryInputStream::read(void* data, int64_t size) {
    if (data == nullptr || size <= 0) {
        mLastReadCount = 0;
        return 0;
    }
    uint8_t* destination = static_cast<uint8_t*>(data);
    int64_t delivered = 0;
    if (hasPutBackBytes()) {
        delivered = std::min(size, mPutBack.size() - mPutBackPosition);
        std::memcpy(destination, mPutBack.data() + mPutBackPosition, static_cast<std::size_t>(delivered));
        mPutBackPosition += delivered;
        if (mPutBackPosition == mPutBack.size()) {
            mPutBack.resize(0, false);
            mPutBackPosition = 0;
        }
    }
    if (delivered < size) {
        delivered += readImpl(destination + delivered, size - delivered);
    }
    mLastReadCount = delivered;
    return delivered;
}

bool BinaryInputStream::isEof() const { return !hasPutBackBytes() && isEofImpl(); }

void BinaryInputStream::putBack(const void* data, int64_t size) {
    if (data == nullptr || size <= 0) {
        return;
    }
    // While bytes are pending the last read came wholly from the buffer, so only the bytes it
    // handed out can be returned; more would move the position before the buffer's start.
    if (size > mLastReadCount || (hasPutBackBytes() && size > mPutBackPosition)) {
        throwException("Io::BinaryInputStream::putBack() - putting back more than acquired during the last read.");
    }
    if (hasPutBackBytes()) {
        mPutBackPosition -= size;
        return;
    }
    mPutBack.resize(size, false);
    std::memcpy(mPutBack.data(), data, static_cast<std::size_t>(size));
    mPutBackPosition = 0;
}

void SeekableBinaryInputStream::putBack(const void* data, int64_t size) {
    if (data != nullptr && size > 0) {
        seekg(-size, SeekOrigin::Current);
    }
}

void BinaryOutputStream::write(const void* data, int64_t size) {
    if (data != nullptr && size > 0) {
        writeImpl(data, size);
    }
}

int64_t seekTarget(int64_t offset, SeekOrigin origin, int64_t position, int64_t size, const char* stopModule,
                   int32_t stopLine) {
    switch (origin) {
    case SeekOrigin::Begin: return offset;
    case SeekOrigin::Current: return position + offset;
    case SeekOrigin::End: return size + offset;
    }
    throwStop(stopModule, stopLine);
}

int64_t readExact(BinaryInputStream& stream, void* data, int64_t size) {
    const int64_t count = stream.read(data, size);
    if (count != size) {
        throwException("Could not extract the required number of bytes from the input stream");
    }
    return count;
}

void Detail::throwObjectReadFailure() { throwException("Could not load object from the stream."); }

int64_t copyStream(BinaryInputStream& in, BinaryOutputStream& out, const Function<void(int64_t)>& progress) {
    uint8_t block[CopyBlockSize];
    int64_t total = 0;
    do {
        const int64_t count = in.read(block, CopyBlockSize);
        if (count > 0) {
            out.write(block, count);
            total += count;
            progress(total);
        }
    } while (!in.isEof());
    return total;
}

} // namespace Tarvio::Io
