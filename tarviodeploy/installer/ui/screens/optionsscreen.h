#pragma once

#include "tarviodeploy/installer/ui/screens/screenbase.h"

namespace Tarvio {

class Installer;

// Page 2, for the Custom installation type: every categorised component as a check box, grouped by
// category, with a folder chooser beside those of the categories that need one. Every change goes
// straight into the installer's components.
class OptionsScreen : public ScreenBase {
public:
    OptionsScreen(wxWindow* parent, Installer& installer);
};

} // namespace Tarvio
