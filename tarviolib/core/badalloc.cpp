#include "tarviolib/core/badalloc.h"

#include "tarviolib/core/formatting.h"
#include "tarviolib/core/stacktrace.h"
#include "tarviolib/core/string.h"

#include <algorithm>
#include <atomic>
#include <utility>

namespace Tarvio {

namespace {

const char* const ShortReport = "Bad allocation Exception!";

std::atomic<MemoryStatisticsProvider> gStatisticsProvider{nullptr};

// Set while this thread builds a report: an allocation failing inside it must not build another.
thread_local bool tBuildingReport = false;

String outOfMemoryReport(int64_t requestedSize) {
    const String trace = captureStackTrace();
    String report = "Bad allocation Exception!\nTarvio ran out of RAM an was unable to allocate memory it needs "
                    "for rendering. This can be caused by rendering too big scene with not enough RAM, or an "
                    "internal bug in Tarvio. Contact our support for more info.\n\nDebugging details:\n"
                    "Wanted to allocate: ";
    report += formatByteSize(static_cast<uint64_t>(std::max<int64_t>(requestedSize, 0)));
    report += "\n\n";
    if (const MemoryStatisticsProvider provider = gStatisticsProvider.load()) {
        report += provider("application");
        report += "\n";
    }
    if (!trace.isEmpty()) {
        report += "Stack trace:\n";
        report += trace;
    }
    return report;
}

} // namespace

BadAlloc::BadAlloc(int64_t requestedSize) noexcept {
    if (tBuildingReport) {
        return;
    }
    tBuildingReport = true;
    try {
        mMessage = outOfMemoryReport(requestedSize).toUtf8();
    } catch (...) {
        // The short message stands.
    }
    tBuildingReport = false;
}

BadAlloc::BadAlloc(const BadAlloc& other) noexcept : std::bad_alloc(other), Polymorphic(other) {
    *this = other;
}

BadAlloc& BadAlloc::operator=(const BadAlloc& other) noexcept {
    if (this != &other) {
        try {
            mMessage = other.mMessage;
        } catch (...) {
            mMessage = NarrowString();
        }
    }
    return *this;
}

const char* BadAlloc::what() const noexcept {
    return mMessage.isEmpty() ? ShortReport : mMessage.text();
}

void setMemoryStatisticsProvider(MemoryStatisticsProvider provider) {
    gStatisticsProvider.store(provider);
}

} // namespace Tarvio
