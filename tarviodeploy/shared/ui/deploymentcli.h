#pragma once

#include "tarviodeploy/shared/ui/deploymentuserinterface.h"

namespace Tarvio {

// The console front end: messages on the standard error stream; the prerequisites question is
// listed on the standard output stream and answered with abort, since nobody waits at a prompt.
class DeploymentCli : public DeploymentUserInterface {
public:
    explicit DeploymentCli(Mode mode) : mMode(mode) {}

    void error(const String& text) override;
    void warning(const String& text) override;
    void info(const String& text) override;
    UserResponse askAboutPrerequisites(const PrerequisiteIssues& issues) override;

    // The listing askAboutPrerequisites writes.
    static String prerequisitesListing(const PrerequisiteIssues& issues);

private:
    Mode mMode;
};

} // namespace Tarvio
