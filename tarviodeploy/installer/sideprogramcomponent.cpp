#include "tarviodeploy/installer/sideprogramcomponent.h"

#include "tarviodeploy/installer/defaultfolder.h"
#include "tarviodeploy/installer/iinstallcontext.h"
#include "tarviodeploy/shared/runningapplications.h"

namespace Tarvio {

SideProgramComponent::SideProgramComponent(bool selected, Array<String> runningPrograms,
                                           const LegacySideProgram* legacy)
    : mRunningPrograms(std::move(runningPrograms)), mLegacy(legacy) {
    setSelected(selected);
    setTargetDirectory(sideProgramsFolder());
}

void SideProgramComponent::removeLegacyInstallation() {
    if (mLegacy != nullptr) {
        removeLegacySideProgram(*mLegacy);
    }
}

PrerequisiteIssues SideProgramComponent::checkPrerequisites() const {
    return runningApplicationPrerequisites(mRunningPrograms, name());
}

Result<Io::Path> SideProgramComponent::installProgram(IInstallContext& context, const wchar_t* name,
                                                      const wchar_t* payloadName) {
    return context.installFile(Io::Path(name), Io::Path(payloadName), 0);
}

} // namespace Tarvio
