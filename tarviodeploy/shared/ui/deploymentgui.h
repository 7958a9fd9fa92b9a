#pragma once

#include "tarviodeploy/shared/ui/deploymentuserinterface.h"
#include "tarviolib/ui/guiutils.h"

class wxWindow;

namespace Tarvio {

class DeploymentEnvironment;

// The engine's user for the graphical mode: boxes for its messages and a dialog for its question.
// Every call may come from the installing thread; the windows are shown on the main thread while
// the caller waits for them to close.
class DeploymentGui : public DeploymentUserInterface {
public:
    // The parent (may be null) owns the prerequisites dialog; the environment gives its logo.
    DeploymentGui(wxWindow* parent, Mode mode, DeploymentEnvironment* environment);

    void error(const String& text) override;
    void warning(const String& text) override;
    void info(const String& text) override;
    UserResponse askAboutPrerequisites(const PrerequisiteIssues& issues) override;

private:
    void showBox(const String& caption, const String& text, MessageBoxKind kind);

    wxWindow* mParent;
    Mode mMode;
    DeploymentEnvironment* mEnvironment;
};

} // namespace Tarvio
