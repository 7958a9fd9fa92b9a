#include "tarviolib/io/memoryinputstream.h"

#include "tarviolib/core/exception.h"
#include "tarviolib/core/stopreport.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace Tarvio::Io {

MemoryInputStream::MemoryInputStream(const void* data, int64_t size) { reset(data, size); }

void MemoryInputStream::reset(const void* data, int64_t size) {
    mData = static_cast<const uint8_t*>(data);
    mSize = size;
    mInitialised = data != nullptr || size == 0;
    mPosition = 0;
    mEof = false;
}

void MemoryInputStream::requireData() const {
    if (!mInitialised) {
        throwException("Using uninitialized MemoryInputStream");
    }
}

int64_t MemoryInputStream::readImpl(void* data, int64_t size) {
    requireData();
    const int64_t count = std::min(size, mSize - mPosition);
    if (count > 0) {
        std::memcpy(data, mData + mPosition, static_cast<std::size_t>(count));
    }
    mPosition += count;
    if (count < size) {
        mEof = true;
    }
    return count;
}

bool MemoryInputStream::isEofImpl() const {
    requireData();
    return mEof;
}

int64_t MemoryInputStream::tellg() const {
    requireData();
    return mPosition;
}

void MemoryInputStream::seekg(int64_t offset, SeekOrigin origin) {
    requireData();
    const int64_t target = seekTarget(offset, origin, mPosition, mSize, "tarviolib/io/stream", 759);
    if (target < 0 || target > mSize) {
        throwException("MemoryInputStream: seeking outside memory boundaries.");
    }
    mPosition = target;
    mEof = false;
}

ArrayInputStream<HeapAllocator, int64_t>::ArrayInputStream(ByteBuffer&& bytes) : mBytes(std::move(bytes)) {
    reset(mBytes.data(), mBytes.size());
}

} // namespace Tarvio::Io
