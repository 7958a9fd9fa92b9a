#include "tarviodeploy/installer/drservercomponent.h"

namespace Tarvio {

DrServerComponent::DrServerComponent() : SideProgramComponent(true, {L"DrServer.exe"}, &legacyDrServer) {}

String DrServerComponent::name() const {
    return L"DR Server";
}

void DrServerComponent::unpack(IInstallContext& context) {
    installProgram(context, L"DrServer.exe", L"DrServer_Release.exe");
}

} // namespace Tarvio
