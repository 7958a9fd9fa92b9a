#include "tarviodeploy/installer/iescomponent.h"

#include "tarviolib/winapi/knownfolders.h"

namespace Tarvio {

IesComponent::IesComponent() : ContentBundleComponent(L"IES", Io::iesDirectory()) {}

String IesComponent::name() const {
    return L"IES bundle";
}

} // namespace Tarvio
