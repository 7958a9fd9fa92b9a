#pragma once

#include "tarviolib/core/narrowstring.h"
#include "tarviolib/core/object.h"

#include <cstdint>
#include <new>

namespace Tarvio {

class String;

// Out of memory. A std::bad_alloc, not an Exception: handlers for Exception let it pass. The
// message is the out-of-memory report, in UTF-8.
class BadAlloc : public std::bad_alloc, public Polymorphic {
public:
    // Builds the report for requestedSize bytes. When that fails (memory ran out again, or this
    // thread is already building one) the message is the report's first line alone.
    explicit BadAlloc(int64_t requestedSize) noexcept;
    // Falls back to the short message when the report cannot be copied.
    BadAlloc(const BadAlloc& other) noexcept;
    BadAlloc& operator=(const BadAlloc& other) noexcept;

    const char* what() const noexcept override;

private:
    NarrowString mMessage;
};

// The memory statistics shown in the report, for a scope such as "application". While none is
// set the report leaves the statistics out.
using MemoryStatisticsProvider = String (*)(const String& scope);
void setMemoryStatisticsProvider(MemoryStatisticsProvider provider);

} // namespace Tarvio
