#include "tarviodeploy/installer/materiallibrarycomponent.h"

#include "tarviodeploy/installer/defaultfolder.h"
#include "tarviodeploy/installer/iinstallcontext.h"
#include "tarviolib/winapi/knownfolders.h"

namespace Tarvio {

namespace {

const wchar_t* const AdditionalDataName = L"MaterialLibrary";

} // namespace

MaterialLibraryComponent::MaterialLibraryComponent() {
    setSelected(true);
    setTargetDirectory(defaultFolder(Io::materialsDirectory()));
}

String MaterialLibraryComponent::name() const {
    return L"Material Library";
}

String MaterialLibraryComponent::id() const {
    return L"MaterialLibrary";
}

Optional<String> MaterialLibraryComponent::version(IInstallContext& context) const {
    const Result<String> remote = context.remoteVersion(AdditionalDataName);
    return remote.ok() ? remote.value() : String();
}

bool MaterialLibraryComponent::prepareInstall(IInstallContext& context) {
    return context.downloadAdditionalData(AdditionalDataName);
}

void MaterialLibraryComponent::install(IInstallContext& context) {
    context.installDirectory(Io::Path(), Io::Path(L"materials"), 0);
}

void MaterialLibraryComponent::unpack(IInstallContext& context) {
    // An unpack has no previous installation to keep: whatever the payload then holds is unpacked.
    context.downloadAdditionalData(AdditionalDataName);
    install(context);
}

} // namespace Tarvio
