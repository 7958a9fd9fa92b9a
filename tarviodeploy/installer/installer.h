#pragma once

#include "tarviodeploy/installer/deploybase.h"
#include "tarviodeploy/installer/installcontext.h"
#include "tarviodeploy/shared/operationresult.h"
#include "tarviolib/core/optional.h"
#include "tarviolib/io/path.h"

#include <cstdint>

namespace Tarvio {

class VsRedistributablesComponent;

enum class InstallType : int32_t { Typical = 0, Custom = 1, Unpack = 2 };

// Runs one installation, or one unpack of every component into a folder.
class Installer : public DeployBase {
public:
    Installer(PluginDescriptor* descriptor, DeploymentEnvironment* environment, DeploymentUserInterface* ui);

    // The command-line entry: leaves the extracted temporary files to the environment and logs no
    // closing text.
    OperationResult run(InstallerLogger& logger);
    // The graphical entry: removes the extracted temporary files itself and always logs a closing
    // text, since the window stays open after the run.
    OperationResult runGui(InstallerLogger& logger);

    InstallType installType() const { return mInstallType; }
    void setInstallType(InstallType type) { mInstallType = type; }
    const Io::Path& unpackDirectory() const { return mUnpackDirectory; }
    void setUnpackDirectory(const Io::Path& directory) { mUnpackDirectory = directory; }

private:
    OperationResult install(InstallerLogger& logger);
    OperationResult unpackAll(InstallerLogger& logger);
    void installThirdPartyLicenses();
    OperationResult installUninstaller(InstallContext& context);
    void installComponents(InstallContext& context, InstallerLogger& logger);
    void installComponent(InstallContext& context, Component& component);
    Optional<PrerequisiteIssues> collectPrerequisiteIssues() const;
    void sendInstallationReport() const;
    String componentVersion(Component& component, IInstallContext& context) const;

    InstallType mInstallType = InstallType::Typical;
    Io::Path mUnpackDirectory;
    // Owned by the components' list.
    VsRedistributablesComponent* mRedistributables;
};

} // namespace Tarvio
