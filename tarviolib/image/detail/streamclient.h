#pragma once

#include "tarviolib/core/exception.h"
#include "tarviolib/core/stopreport.h"
#include "tarviolib/image/image.h"

#include <exception>
#include <utility>

namespace Tarvio::Detail {

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
