#pragma once

#include "tarviodeploy/shared/deploymentprerequisites.h"
#include "tarviolib/core/object.h"
#include "tarviolib/core/string.h"

#include <cstdint>

namespace Tarvio {

enum class UserResponse : int32_t { Retry = 0, Ignore = 1, Abort = 2 };

// How the install flow talks to the user; log lines go through the logger instead.
class DeploymentUserInterface : public Polymorphic {
public:
    enum class Mode : int32_t { Installer = 0, Uninstaller = 1 };

    // "Tarvio Installer" or "Tarvio Uninstaller": put in front of every message.
    static String title(Mode mode);

    virtual void error(const String& text) = 0;
    virtual void warning(const String& text) = 0;
    virtual void info(const String& text) = 0;
    virtual UserResponse askAboutPrerequisites(const PrerequisiteIssues& issues) = 0;
};

} // namespace Tarvio
