#pragma once

#include "tarviolib/core/object.h"
#include "tarviolib/thread/stopwatch.h"

#include <cstdint>
#include <string>

namespace Tarvio {

// Reports to the debug output how long its scope took:
// ">>>  " prefix " " name " took " milliseconds " ms."
class ScopeTimer : public Noncopyable {
public:
    ScopeTimer(int64_t timeoutMs, const char* prefix, const char* name);
    ~ScopeTimer();

private:
    Stopwatch mWatch;
    std::string mPrefix;
    std::string mName;
};

} // namespace Tarvio
