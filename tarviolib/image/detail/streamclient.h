#pragma once

#include "tarviolib/core/exception.h"
#include "tarviolib/core/stopreport.h"
#include "tarviolib/image/image.h"

#include <exception>
#include <limits>
#include <utility>

namespace Tarvio::Detail {

// The stream position of the file's byte at `offset` when the file starts at `start`. An offset
// taken from a damaged file may lie beyond every position the stream can have: it fails as a seek
// outside the stream does.
inline int64_t streamPosition(int64_t start, uint64_t offset) {
    if (offset > static_cast<uint64_t>(std::numeric_limits<int64_t>::max() - start)) {
        throwException("Seeking beyond the largest stream position.");
    }
    return start + static_cast<int64_t>(offset);
}

// A library stream handed to a C library's read callbacks (libtiff, OpenEXR's core). No exception
// may cross the C frames: a failure of the stream (a library Exception) is answered with the C
// library's error value, so that it reports a damaged file; anything else (out of memory, a stop
// report) is kept here and thrown again by rethrowPending once the C library has returned.
// The file starts at the stream's position when the client is made: the C library's offsets count
// from start().
class StreamClient : public Noncopyable {
public:
    explicit StreamClient(Io::SeekableBinaryInputStream& stream) : mStream(&stream), mStart(stream.tellg()) {}

    int64_t start() const { return mStart; }
    int64_t position(uint64_t offset) const { return streamPosition(mStart, offset); }

    template <typename Value, typename Action>
    Value guarded(Value errorValue, Action action) {
        try {
            return action(*mStream);
        } catch (const Exception&) {
            return errorValue;
        } catch (...) {
            mPending = std::current_exception();
            return errorValue;
        }
    }

    // A case that cannot happen is reported, not turned into a damaged file.
    void keepStop(int32_t line) {
        try {
            throwStop(ImageModule, line);
        } catch (...) {
            mPending = std::current_exception();
        }
    }

    void rethrowPending() {
        if (mPending) {
            std::rethrow_exception(std::exchange(mPending, nullptr));
        }
    }

    // The file's size, from start() to the stream's end; the position is kept.
    int64_t size() {
        return guarded(int64_t(-1), [this](Io::SeekableBinaryInputStream& stream) {
            const int64_t position = stream.tellg();
            stream.seekg(mStart, SeekOrigin::Begin);
            const int64_t size = remainingBytes(stream);
            stream.seekg(position, SeekOrigin::Begin);
            return size;
        });
    }

private:
    Io::SeekableBinaryInputStream* mStream;
    int64_t mStart;
    std::exception_ptr mPending;
};

} // namespace Tarvio::Detail
