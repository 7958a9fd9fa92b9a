#include "tarviodeploy/shared/ui/deploymentgui.h"

#include "tarviodeploy/shared/ui/installprerequisitesdialog.h"
#include "tarviodeploy/shared/ui/interfacecolours.h"
#include "tarviolib/thread/mainthreadcall.h"

namespace Tarvio {

DeploymentGui::DeploymentGui(wxWindow* parent, Mode mode, DeploymentEnvironment* environment)
    : mParent(parent), mMode(mode), mEnvironment(environment) {}

void DeploymentGui::error(const String& text) {
    showBox(title(mMode) + L" Error", text, MessageBoxKind::Error);
}

void DeploymentGui::warning(const String& text) {
    showBox(title(mMode) + L" Warning", text, MessageBoxKind::Warning);
}

void DeploymentGui::info(const String& text) {
    showBox(title(mMode), text, MessageBoxKind::Information);
}

void DeploymentGui::showBox(const String& caption, const String& text, MessageBoxKind kind) {
    // Shown on the main thread while the installing thread waits.
    showMessageBox(nullptr, caption, text, kind, MessageBoxButtons::Ok);
}

UserResponse DeploymentGui::askAboutPrerequisites(const PrerequisiteIssues& issues) {
    return callOnMainThread(Function<UserResponse()>([this, issues] {
        InstallPrerequisitesDialog dialog(mParent, &mEnvironment);
        dialog.Centre(wxBOTH);
        forEachIssueCategory(issues, [&dialog](PrerequisiteCategory category, const Array<String>& texts) {
            dialog.appendText(prerequisiteCategoryText(category) + L":\n", toWxColour(InterfaceColours::error));
            for (const String& text : texts) {
                dialog.appendLine(L"  \u2022 " + text);
            }
        });
        switch (dialog.ShowModal()) {
        case wxID_RETRY:
            return UserResponse::Retry;
        case wxID_IGNORE:
            return UserResponse::Ignore;
        default:
            return UserResponse::Abort;
        }
    }));
}

} // namespace Tarvio
