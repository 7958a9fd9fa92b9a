#include "tarviodeploy/installer/ui/wizard.h"

#include "tarviodeploy/installer/additionalinstallerdata.h"
#include "tarviodeploy/installer/ui/mainwindow.h"
#include "tarviolib/wx/library.h"

#include <wx/weakref.h>

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
        // As a close during the installation: a download stops, the task ends, then the window goes.
        if (window) {
            cancelDownload();
            delete window.get();
        }
        throw;
    }
}

} // namespace Tarvio
