#pragma once

#include "tarviodeploy/shared/deploymentprerequisites.h"
#include "tarviolib/core/object.h"
#include "tarviolib/core/optional.h"
#include "tarviolib/core/string.h"
#include "tarviolib/io/path.h"

namespace Tarvio {

class IInstallContext;

// One installable unit. The engine drives components only through these operations and never asks
// which kind it holds.
class Component : public Polymorphic {
public:
    // Shown in the log, stored in the install database entry, and the sub-folder of an unpack.
    virtual String name() const = 0;
    // The label of the component's check box.
    virtual String caption() const;
    // The key of its install database entry and its word in the installation report.
    virtual String id() const;
    // Whether the install database keeps an entry for it; an untracked one is installed every time.
    virtual bool isTracked() const;
    // Empty when the product's version stands for the component's.
    virtual Optional<String> version(IInstallContext& context) const;
    // Reports failures through the context instead of throwing.
    virtual void install(IInstallContext& context);
    // Extracts the component's files and nothing else.
    virtual void unpack(IInstallContext& context) = 0;
    // Clears away what the previous installer generation, which kept no database, left behind.
    // Never reports a failure.
    virtual void removeLegacyInstallation();
    // What blocks the installation now, such as a running program the component replaces.
    virtual PrerequisiteIssues checkPrerequisites() const;
    // The same answer as checkPrerequisites in every component; the installer never asks it.
    virtual PrerequisiteIssues queryPrerequisites() const;
    // Called by the install flow before it releases the previous installation: fetches what
    // install needs from outside the payload. False (the failure reported through the context)
    // keeps the previous installation as it is, and this one is not made.
    virtual bool prepareInstall(IInstallContext& context);

    bool selected() const { return mSelected; }
    void setSelected(bool selected) { mSelected = selected; }
    // Empty for a component without a folder, which the install flow refuses to install.
    const Io::Path& targetDirectory() const { return mTargetDirectory; }
    void setTargetDirectory(const Io::Path& directory) { mTargetDirectory = directory; }

private:
    bool mSelected = false;
    Io::Path mTargetDirectory;
};

} // namespace Tarvio
