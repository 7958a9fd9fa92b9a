#pragma once

#include <cstdint>

namespace Tarvio {

class Installer;

// The graphical road: the main window for the installer, shown unless another copy runs (then it
// has told the user and closes unseen), and the toolkit's main loop until the window has gone;
// answers the loop's code. When an exception leaves the loop, the window is destroyed (which
// waits for a running installation, since the installation uses the installer) before the
// exception goes on to the caller.
int32_t runWizard(Installer& installer);

} // namespace Tarvio
