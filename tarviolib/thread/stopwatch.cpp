#include "tarviolib/thread/stopwatch.h"

#include <windows.h>

namespace Tarvio {

namespace {

constexpr int64_t NanosecondsPerSecond = 1000000000;

// Split so that the product cannot overflow for any uptime.
int64_t steadyNowNs() {
    LARGE_INTEGER counter;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return counter.QuadPart / frequency.QuadPart * NanosecondsPerSecond +
           counter.QuadPart % frequency.QuadPart * NanosecondsPerSecond / frequency.QuadPart;
}

} // namespace

struct Stopwatch::Record : public Object {
    int64_t startNs;
    int64_t timeoutMs;
};

Stopwatch::Stopwatch(int64_t timeoutMs, bool expired) : mRecord(makeUnique<Record>()) {
    const int64_t now = steadyNowNs();
    mRecord->timeoutMs = timeoutMs;
    mRecord->startNs = expired ? now - (timeoutMs + 1) * 1000000 : now;
}

Stopwatch::~Stopwatch() = default;

int64_t Stopwatch::elapsedMs() const {
    return (steadyNowNs() - mRecord->startNs) / 1000000;
}

} // namespace Tarvio
