#pragma once

#include "tarviodeploy/installer/ui/screens/screenbase.h"
#include "tarviolib/core/uniqueptr.h"

#include <wx/sizer.h>

namespace Tarvio {

class ColoredTextControl;
class InstallerGuiAndFileLogger;

namespace Wx {
class StaticText;
}

// Page 3: whether the computer meets the requirements, decided once when the page is built, and
// the coloured log of the installation.
class InstallScreen : public ScreenBase {
public:
    // Opens the log file "DeployLog.txt" through the page's logger.
    explicit InstallScreen(wxWindow* parent);
    ~InstallScreen() override;

    // What the installation logs to; it shows every line in the page's log.
    InstallerGuiAndFileLogger& logger() const { return *mLogger; }
    ColoredTextControl& log() const { return *mLog; }
    Wx::StaticText& verdict() const { return *mVerdict; }

private:
    wxBoxSizer* mSizer;
    ColoredTextControl* mLog;
    UniquePtr<InstallerGuiAndFileLogger> mLogger;
    Wx::StaticText* mVerdict;
};

} // namespace Tarvio
