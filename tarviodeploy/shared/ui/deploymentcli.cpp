#include "tarviodeploy/shared/ui/deploymentcli.h"

#include "tarviolib/winapi/consoletext.h"

namespace Tarvio {

void DeploymentCli::error(const String& text) {
    WinApi::writeConsoleText(stderr, title(mMode) + " Error: " + text + "\n");
}

void DeploymentCli::warning(const String& text) {
    WinApi::writeConsoleText(stderr, title(mMode) + " Warning: " + text + "\n");
}

void DeploymentCli::info(const String& text) {
    WinApi::writeConsoleText(stderr, title(mMode) + ": " + text + "\n");
}

UserResponse DeploymentCli::askAboutPrerequisites(const PrerequisiteIssues& issues) {
    WinApi::writeConsoleText(stdout, prerequisitesListing(issues));
    return UserResponse::Abort;
}

String DeploymentCli::prerequisitesListing(const PrerequisiteIssues& issues) {
    String listing;
    for (const EnumNameEntry& category : prerequisiteCategoryNames) {
        for (const PrerequisiteIssues::Entry& entry : issues) {
            if (static_cast<int64_t>(entry.key) != category.value) {
                continue;
            }
            listing += prerequisiteCategoryText(entry.key) + ":\n";
            for (const String& text : entry.value) {
                listing += "\t" + text + "\n";
            }
        }
    }
    listing += "\nResolve all issues and try again.\n";
    return listing;
}

} // namespace Tarvio
