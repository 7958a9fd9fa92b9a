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
    forEachIssueCategory(issues, [&listing](PrerequisiteCategory category, const Array<String>& texts) {
        listing += prerequisiteCategoryText(category) + ":\n";
        for (const String& text : texts) {
            listing += "\t" + text + "\n";
        }
    });
    listing += "\nResolve all issues and try again.\n";
    return listing;
}

} // namespace Tarvio
