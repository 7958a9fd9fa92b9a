#include "tarviodeploy/installer/ui/wizard.h"

#include "tarviodeploy/installer/ui/mainwindow.h"
#include "tarviolib/wx/library.h"

#include <wx/weakref.h>

#include <memory>

namespace Tarvio {

int32_t runWizard(Installer& installer) {
    // The toolkit owns the window and deletes it when it closes, which ends the loop.
    const wxWeakRef<MainWindow> window(new MainWindow(installer));
    if (!window->anotherInstanceRunning()) {
        window->Show();
    }
    try {
        return runMainLoop();
    } catch (...) {
        // As a close during the installation: a download stops, the window is served until the task
        // has ended, then it goes. (Should the wait fail too, deleting it still waits for the task.)
        if (window) {
            const std::unique_ptr<MainWindow> closing(window.get());
            closing->waitForInstallationEnd();
        }
        throw;
    }
}

} // namespace Tarvio
