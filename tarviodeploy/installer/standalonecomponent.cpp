#include "tarviodeploy/installer/standalonecomponent.h"

#include "tarviodeploy/installer/fileassociation.h"
#include "tarviodeploy/installer/iinstallcontext.h"

namespace Tarvio {

StandaloneComponent::StandaloneComponent() : SideProgramComponent(true, {L"Tarvio.exe"}, &legacyStandalone) {}

String StandaloneComponent::name() const {
    return L"Standalone";
}

void StandaloneComponent::install(IInstallContext& context) {
    const Result<Io::Path> program = installFiles(context);
    if (program.ok()) {
        registerFileAssociation(L"TarvioStandalone", program.value(), L"scn");
    }
    context.writeRegistryPath(L"HKEY_LOCAL_MACHINE\\Software\\TarvioRenderer", L"StandaloneInstallPath",
                              context.targetDirectory());
    context.recordFile(Io::Path(L"TarvioStandalone_log.txt"));
}

void StandaloneComponent::unpack(IInstallContext& context) {
    installFiles(context);
}

Result<Io::Path> StandaloneComponent::installFiles(IInstallContext& context) {
    context.installRendererLibraries(Io::Path());
    return installProgram(context, L"Tarvio.exe", L"TarvioStandalone_Release.exe");
}

} // namespace Tarvio
