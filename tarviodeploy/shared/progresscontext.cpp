#include "tarviodeploy/shared/progresscontext.h"

#include "tarviolib/core/stopreport.h"

namespace Tarvio {

ProgressContext::Step::Step(ProgressContext& context, const String& title) : mContext(&context) {
    mContext->beginStep(title);
}

ProgressContext::Step::~Step() {
    mContext->endStep();
}

void ProgressContext::info(const String& text) {
    report(text, LogLevel::Info);
}

void ProgressContext::warning(const String& text) {
    mStatus = worse(mStatus, OperationResult::Warnings);
    report(text, LogLevel::Warning);
}

void ProgressContext::error(const String& text) {
    mStatus = OperationResult::Failed;
    report(text, LogLevel::Error);
}

void ProgressContext::report(const String& text, LogLevel level) {
    if (mLogger != nullptr) {
        mLogger->log(text + "\n", level);
        mAnythingReported = true;
    }
}

void ProgressContext::updateProgress(const String& text) {
    if (mLogger != nullptr) {
        mLogger->updateProgress(text);
    }
}

void ProgressContext::beginStep(const String& title) {
    if (mLogger != nullptr) {
        mLogger->log(title + "... ", LogLevel::Info);
    }
}

void ProgressContext::endStep() {
    if (mLogger == nullptr) {
        return;
    }
    LogLevel level;
    switch (mStatus) {
    case OperationResult::Done: level = LogLevel::Info; break;
    case OperationResult::Warnings: level = LogLevel::Warning; break;
    case OperationResult::Failed: level = LogLevel::Error; break;
    default: throwStop("tarviodeploy/shared/progresscontext", 93);
    }
    String line = operationResultNames.name(mStatus) + "\n";
    if (mAnythingReported) {
        line = "Operation result: " + line;
    }
    mLogger->log(line, level);
}

void ProgressContext::reset() {
    mStatus = OperationResult::Done;
    mAnythingReported = false;
}

} // namespace Tarvio
