#pragma once

#include "tarviodeploy/installer/ui/screens/screenbase.h"
#include "tarviolib/core/array.h"

namespace Tarvio {

class Installer;

namespace Wx {
class StaticText;
}

// Page 2, for the Custom installation type: every categorised component as a check box, grouped by
// category, with a folder chooser beside those of the categories that need one. Every change goes
// straight into the installer's components.
class OptionsScreen : public ScreenBase {
public:
    OptionsScreen(wxWindow* parent, Installer& installer);

private:
    void onSize(wxSizeEvent& event);

    // Re-wrapped when the page is resized.
    Array<Wx::StaticText*> mLabels;
};

} // namespace Tarvio
