#pragma once

#include "tarviodeploy/installer/installer.h"
#include "tarviodeploy/installer/ui/screens/screenbase.h"
#include "tarviolib/core/function.h"

#include <wx/sizer.h>

class wxRadioButton;

namespace Tarvio {

class PathBrowser;

// Page 1: the installation type and the folder for "Unpack files", written straight into the
// installer. Before going forward it checks for a 64-bit Windows 7 or newer, letting the user go on
// anyway.
class InstallTypeScreen : public ScreenBase {
public:
    InstallTypeScreen(wxWindow* parent, Installer& installer);

    bool canLeave(bool goingBack) override;

    // Called with the new type each time the user chooses a radio button.
    void setInstallTypeChanged(const Function<void(InstallType)>& callback) { mInstallTypeChanged = callback; }

    // None for a type that is not offered (Typical without SSE4.1).
    wxRadioButton* radioButton(InstallType type) const;
    PathBrowser& pathBrowser() const { return *mPathBrowser; }

private:
    void addRadioButton(wxBoxSizer* sizer, InstallType type, const wchar_t* label);
    void addDescription(wxBoxSizer* sizer, const String& text);

    Installer& mInstaller;
    Function<void(InstallType)> mInstallTypeChanged;
    wxRadioButton* mRadioButtons[3] = {};
    PathBrowser* mPathBrowser = nullptr;
};

} // namespace Tarvio
