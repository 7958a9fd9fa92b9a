#include "tarviolib/thread/threadfailurereport.h"

#include "tarviolib/core/debugoutput.h"
#include "tarviolib/core/mutex.h"

#include <sstream>

namespace Tarvio {

namespace {

struct ReporterState {
    Mutex mutex;
    Function<void(const String&)> reporter;
};

ReporterState& reporterState() {
    static ReporterState state;
    return state;
}

} // namespace

void setThreadFailureReporter(const Function<void(const String& message)>& reporter) {
    ScopedLock lock(reporterState().mutex);
    reporterState().reporter = reporter;
}

void reportThreadFailure(const String& message) {
    Function<void(const String&)> reporter;
    {
        ScopedLock lock(reporterState().mutex);
        reporter = reporterState().reporter;
    }
    if (reporter) {
        reporter(message);
        return;
    }
    std::wostringstream line;
    line << L"A thread's task failed: " << message.text();
    debugOutput(line);
}

} // namespace Tarvio
