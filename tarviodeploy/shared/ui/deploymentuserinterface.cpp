#include "tarviodeploy/shared/ui/deploymentuserinterface.h"

#include "tarviolib/core/stopreport.h"

namespace Tarvio {

String DeploymentUserInterface::title(Mode mode) {
    switch (mode) {
    case Mode::Installer: return L"Tarvio Installer";
    case Mode::Uninstaller: return L"Tarvio Uninstaller";
    }
    throwStop("tarviodeploy/shared/ui/deploymentuserinterface", 27);
}

} // namespace Tarvio
