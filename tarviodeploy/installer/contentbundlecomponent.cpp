#include "tarviodeploy/installer/contentbundlecomponent.h"

#include "tarviodeploy/installer/defaultfolder.h"
#include "tarviodeploy/installer/iinstallcontext.h"

namespace Tarvio {

ContentBundleComponent::ContentBundleComponent(const wchar_t* payloadFolder, const Result<Io::Path>& target)
    : mPayloadFolder(payloadFolder) {
    setSelected(true);
    setTargetDirectory(defaultFolder(target));
}

void ContentBundleComponent::unpack(IInstallContext& context) {
    context.installDirectory(Io::Path(), Io::Path(mPayloadFolder), 0);
}

} // namespace Tarvio
