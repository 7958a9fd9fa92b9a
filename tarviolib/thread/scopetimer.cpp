#include "tarviolib/thread/scopetimer.h"

#include "tarviolib/core/debugoutput.h"
#include "tarviolib/core/formatting.h"

#include <sstream>

namespace Tarvio {

ScopeTimer::ScopeTimer(int64_t timeoutMs, const char* prefix, const char* name)
    : mWatch(timeoutMs), mPrefix(prefix), mName(name) {}

ScopeTimer::~ScopeTimer() {
    if (!isDebugOutputEnabled()) {
        return;
    }
    std::wostringstream line;
    line << L">>> " << L' ' << String(mPrefix.c_str()).text() << L' ' << String(mName.c_str()).text() << L" took "
         << formatCount(static_cast<uint64_t>(mWatch.elapsedMs())).text() << L" ms.";
    debugOutput(line);
}

} // namespace Tarvio
