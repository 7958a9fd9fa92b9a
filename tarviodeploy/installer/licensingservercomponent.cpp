#include "tarviodeploy/installer/licensingservercomponent.h"

#include "tarviodeploy/installer/iinstallcontext.h"
#include "tarviolib/winapi/knownfolders.h"

namespace Tarvio {

namespace {

const wchar_t* const logFileName = L"LicensingServerLog.txt";

} // namespace

LicensingServerComponent::LicensingServerComponent()
    : SideProgramComponent(false, {L"LicensingServer.exe"}, &legacyLicensingServer) {}

String LicensingServerComponent::name() const {
    return L"Licensing Server";
}

void LicensingServerComponent::install(IInstallContext& context) {
    unpack(context);
    // The server writes its log beside itself or into the product's data folder.
    context.recordFile(Io::Path(logFileName));
    const Result<Io::Path> data = Io::productDataDirectory();
    if (data.ok()) {
        context.recordFile(data.value() / logFileName);
    }
}

void LicensingServerComponent::unpack(IInstallContext& context) {
    installProgram(context, L"LicensingServer.exe", L"LicensingServer_Release.exe");
}

} // namespace Tarvio
