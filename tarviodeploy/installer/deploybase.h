#pragma once

#include "tarviodeploy/shared/componentcategory.h"
#include "tarviodeploy/shared/componentregistrator.h"
#include "tarviodeploy/shared/database.h"
#include "tarviodeploy/shared/deploymentenvironment.h"
#include "tarviodeploy/shared/installerlogger.h"
#include "tarviodeploy/shared/plugindescriptor.h"
#include "tarviodeploy/shared/ui/deploymentuserinterface.h"
#include "tarviolib/core/array.h"
#include "tarviolib/core/function.h"
#include "tarviolib/core/sharedptr.h"
#include "tarviolib/core/uniqueptr.h"
#include "tarviolib/io/path.h"

namespace Tarvio {

// What every deployment needs: the product, its payload, the user, the registered components and
// the install database, loaded on first use.
class DeployBase : public Polymorphic, public ComponentRegistrator {
public:
    // None of the three is owned; the descriptor registers its components here.
    DeployBase(PluginDescriptor* descriptor, DeploymentEnvironment* environment, DeploymentUserInterface* ui);

    void addCategory(const String& name, CategoryLayout layout) override;
    void addComponent(UniquePtr<Component> component) override;
    void addUncategorizedComponent(UniquePtr<Component> component) override;

    // Each with a copy of the category, which shares its components.
    void forEachCategory(const Function<void(ComponentCategory&)>& function) const;
    // Every component in registration order: install, unpack and report order.
    const Array<SharedPtr<Component>>& components() const { return mComponents; }

    // The product folder under the 64-bit program-files folder.
    static Io::Path installRoot();
    static Io::Path databasePath();

    // Loaded from the database file on first use; a file that fails to load is copied aside and
    // reported, and what could be read is used.
    Database& database();
    void writeDatabase(InstallerLogger& logger);
    void releaseComponentForReinstall(InstallerLogger& logger, Component& component);

    // Asks on the main thread and waits for the answer.
    UserResponse askAboutPrerequisites(const PrerequisiteIssues& issues);

    // The product's names and the payload, also read by the graphical pages.
    PluginDescriptor& descriptor() const { return *mDescriptor; }
    DeploymentEnvironment& environment() const { return *mEnvironment; }

protected:
    DeploymentUserInterface& ui() const { return *mUi; }

private:
    PluginDescriptor* mDescriptor;
    DeploymentEnvironment* mEnvironment;
    DeploymentUserInterface* mUi;
    Array<ComponentCategory> mCategories;
    Array<SharedPtr<Component>> mComponents;
    UniquePtr<Database> mDatabase;
};

} // namespace Tarvio
