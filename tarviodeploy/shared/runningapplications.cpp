#include "tarviodeploy/shared/runningapplications.h"

#include "tarviolib/winapi/systeminfo.h"

#include <cwctype>

namespace Tarvio {

namespace {

bool equalIgnoringCase(const String& left, const String& right) {
    if (left.size() != right.size()) {
        return false;
    }
    for (int32_t i = 0; i < left.size(); ++i) {
        if (std::towlower(left[i]) != std::towlower(right[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

bool isProcessRunning(const String& executableName) {
    for (const String& running : SystemInfo::runningProcessNames()) {
        if (equalIgnoringCase(running, executableName)) {
            return true;
        }
    }
    return false;
}

PrerequisiteIssues runningApplicationPrerequisites(const Array<String>& programs, const String& text) {
    PrerequisiteIssues found;
    for (const String& program : programs) {
        if (isProcessRunning(program)) {
            found[PrerequisiteCategory::RunningApplication].append(text);
            break;
        }
    }
    return found;
}

} // namespace Tarvio
