#pragma once

#include "tarviolib/core/bytebuffer.h"
#include "tarviolib/core/function.h"
#include "tarviolib/core/object.h"

#include <cstdint>
#include <type_traits>

namespace Tarvio {

// The origin of every seekg and seekp.
enum class SeekOrigin : int32_t { Begin = 0, Current = 1, End = 2 };

namespace Io {

// Sizes, counts and positions are signed 64-bit; every failure is thrown as Exception.
class BinaryInputStream : public Polymorphic {
public:
    // Up to size bytes, put-back bytes first; 0 only at the end of the stream or for an empty request.
    int64_t read(void* data, int64_t size);
    // False while put-back bytes are pending. The end means a read has already come back short.
    bool isEof() const;
    // Makes the last size bytes of what was just read (passed in data) readable again.
    virtual void putBack(const void* data, int64_t size);

protected:
    virtual int64_t readImpl(void* data, int64_t size) = 0;
    virtual bool isEofImpl() const = 0;

private:
    bool hasPutBackBytes() const { return mPutBackPosition < mPutBack.size(); }

    ByteBuffer mPutBack;
    int64_t mPutBackPosition = 0;
    int64_t mLastReadCount = 0;
};

class SeekableBinaryInputStream : public BinaryInputStream {
public:
    // Seeks back instead of buffering.
    void putBack(const void* data, int64_t size) override;

    virtual int64_t tellg() const = 0;
    // A successful seek clears the end flag; a failed one leaves the position where it was.
    virtual void seekg(int64_t offset, SeekOrigin origin) = 0;
};

class BinaryOutputStream : public Polymorphic {
public:
    // Nothing reaches writeImpl for a null block or a size below 1.
    void write(const void* data, int64_t size);
    virtual void flush() = 0;

protected:
    // Writes every byte or throws.
    virtual void writeImpl(const void* data, int64_t size) = 0;
};

class SeekableBinaryOutputStream : public BinaryOutputStream {
public:
    virtual int64_t tellp() const = 0;
    virtual void seekp(int64_t offset, SeekOrigin origin) = 0;
};

// Exactly size bytes, or "Could not extract the required number of bytes from the input stream".
int64_t readExact(BinaryInputStream& stream, void* data, int64_t size);

// The absolute position that offset from origin names in a stream at position holding size bytes;
// an origin outside the enumeration stops with the caller's report (module and line).
int64_t seekTarget(int64_t offset, SeekOrigin origin, int64_t position, int64_t size, const char* stopModule,
                   int32_t stopLine);

namespace Detail {
[[noreturn]] void throwObjectReadFailure();
}

// Exactly sizeof(T) bytes in the machine's (little-endian) order, or "Could not load object from the stream.".
template <typename T>
void readObject(BinaryInputStream& stream, T& value) {
    static_assert(std::is_trivially_copyable_v<T>, "objects are read as plain bytes");
    if (stream.read(&value, static_cast<int64_t>(sizeof(T))) != static_cast<int64_t>(sizeof(T))) {
        Detail::throwObjectReadFailure();
    }
}

// Copies in 64 KiB blocks until the input ends, calling progress (which must be set) with the
// running total after every non-empty block; answers the total.
int64_t copyStream(BinaryInputStream& in, BinaryOutputStream& out, const Function<void(int64_t)>& progress);

} // namespace Io
} // namespace Tarvio
