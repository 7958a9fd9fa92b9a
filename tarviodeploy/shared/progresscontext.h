#pragma once

#include "tarviodeploy/shared/installerlogger.h"
#include "tarviodeploy/shared/operationresult.h"

namespace Tarvio {

// Turns the reports of one titled operation into log lines, keeps its severity, and closes it with
// a result line.
class ProgressContext : public Object {
public:
    // A titled operation for the life of the scope.
    class Step : public Noncopyable {
    public:
        Step(ProgressContext& context, const String& title);
        ~Step();

    private:
        ProgressContext* mContext;
    };

    // Without a logger nothing is written, but the status still rises.
    explicit ProgressContext(InstallerLogger* logger) : mLogger(logger) {}

    void info(const String& text);
    void warning(const String& text);
    void error(const String& text);
    void report(const String& text, LogLevel level);
    void updateProgress(const String& text);

    void beginStep(const String& title);
    void endStep();
    void reset();

    OperationResult status() const { return mStatus; }
    bool anythingReported() const { return mAnythingReported; }
    InstallerLogger* logger() const { return mLogger; }

private:
    InstallerLogger* mLogger;
    OperationResult mStatus = OperationResult::Done;
    bool mAnythingReported = false;
};

} // namespace Tarvio
