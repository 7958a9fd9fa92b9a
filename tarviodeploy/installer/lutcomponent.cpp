#include "tarviodeploy/installer/lutcomponent.h"

#include "tarviolib/winapi/knownfolders.h"

namespace Tarvio {

LutComponent::LutComponent() : ContentBundleComponent(L"LUT", Io::lutDirectory()) {}

String LutComponent::name() const {
    return L"LUT bundle";
}

} // namespace Tarvio
