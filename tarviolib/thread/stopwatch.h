#pragma once

#include "tarviolib/core/object.h"
#include "tarviolib/core/uniqueptr.h"

#include <cstdint>

namespace Tarvio {

// Measures time on the performance counter from its creation.
class Stopwatch : public Noncopyable {
public:
    // expired: start as already past the time-out.
    explicit Stopwatch(int64_t timeoutMs, bool expired = false);
    ~Stopwatch();

    int64_t elapsedMs() const;

private:
    struct Record;
    UniquePtr<Record> mRecord;
};

} // namespace Tarvio
