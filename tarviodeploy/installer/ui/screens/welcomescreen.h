#pragma once

#include "tarviodeploy/installer/ui/screens/screenbase.h"

class wxCheckBox;

namespace Tarvio {

class Installer;
class DeploymentEnvironment;

namespace Wx {
class TextControl;
}

// Page 0: the product's name and version, the licence text from the payload, and the acceptance
// box without which the user cannot go on.
class WelcomeScreen : public ScreenBase {
public:
    WelcomeScreen(wxWindow* parent, Installer& installer);

    // Going forward needs the tick; without it a warning box, and the page stays.
    bool canLeave(bool goingBack) override;

    wxCheckBox& acceptance() const { return *mAcceptance; }
    Wx::TextControl& licence() const { return *mLicence; }

private:
    Installer& mInstaller;
    wxCheckBox* mAcceptance;
    Wx::TextControl* mLicence;
};

// "license.txt" of the payload: plain ASCII, up to its first zero byte.
String readLicenceText(DeploymentEnvironment& environment);

} // namespace Tarvio
