#include "tarviodeploy/installer/deploybase.h"

#include "tarviodeploy/installer/iescomponent.h"
#include "tarviodeploy/installer/lutcomponent.h"
#include "tarviodeploy/shared/databasefile.h"
#include "tarviodeploy/shared/previousinstallation.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/thread/mainthreadcall.h"
#include "tarviolib/winapi/knownfolders.h"

namespace Tarvio {

DeployBase::DeployBase(PluginDescriptor* descriptor, DeploymentEnvironment* environment, DeploymentUserInterface* ui)
    : mDescriptor(descriptor), mEnvironment(environment), mUi(ui) {
    mDescriptor->registerComponents(*this);
    addUncategorizedComponent(makeUnique<LutComponent>());
    addUncategorizedComponent(makeUnique<IesComponent>());
}

void DeployBase::addCategory(const String& name, CategoryLayout layout) {
    mCategories.emplace(name, layout);
}

void DeployBase::addComponent(UniquePtr<Component> component) {
    const SharedPtr<Component> shared(std::move(component));
    mCategories[mCategories.size() - 1].addComponent(shared);
    mComponents.append(shared);
}

void DeployBase::addUncategorizedComponent(UniquePtr<Component> component) {
    mComponents.append(SharedPtr<Component>(std::move(component)));
}

void DeployBase::forEachCategory(const Function<void(ComponentCategory&)>& function) const {
    for (const ComponentCategory& category : mCategories) {
        ComponentCategory copy = category;
        function(copy);
    }
}

Io::Path DeployBase::installRoot() {
    const Result<Io::Path> programFiles = Io::programFiles64Directory();
    if (!programFiles.ok()) {
        throwException(programFiles.error());
    }
    return programFiles.value() / "Tarvio";
}

Io::Path DeployBase::databasePath() {
    return installRoot() / "TarvioRemove.xml";
}

Database& DeployBase::database() {
    if (!mDatabase) {
        mDatabase = loadInstallDatabase(databasePath(), *mUi);
    }
    return *mDatabase;
}

void DeployBase::writeDatabase(InstallerLogger& logger) {
    writeInstallDatabase(logger, database(), databasePath());
}

void DeployBase::releaseComponentForReinstall(InstallerLogger& logger, Component& component) {
    Tarvio::releaseComponentForReinstall(logger, database(), component, mDescriptor->id());
}

UserResponse DeployBase::askAboutPrerequisites(const PrerequisiteIssues& issues) {
    DeploymentUserInterface* ui = mUi;
    const PrerequisiteIssues asked = issues;
    return callOnMainThread(Function<UserResponse()>([ui, asked] { return ui->askAboutPrerequisites(asked); }));
}

} // namespace Tarvio
