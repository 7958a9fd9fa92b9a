#pragma once

#include "tarviodeploy/shared/component.h"
#include "tarviolib/core/optional.h"
#include "tarviolib/core/result.h"
#include "tarviolib/io/path.h"

namespace Tarvio {

// The Microsoft runtime redistributable: extracted to the temporary folder, or to the folder set
// to run it from, and run silently in every installation. Untracked, so it leaves no install
// database entry.
class VsRedistributablesComponent : public Component {
public:
    VsRedistributablesComponent();

    String name() const override;
    bool isTracked() const override;
    // Waits at most a minute for the redistributable's installer and leaves it running after that;
    // its exit code is not examined.
    void install(IInstallContext& context) override;
    // Only writes the installer under its payload name.
    void unpack(IInstallContext& context) override;
    // A folder that only administrators can write, for an elevated run; a failed one fails the
    // component with its error.
    void setRunFolder(const Result<Io::Path>& folder) { mRunFolder = folder; }

private:
    void extractAndRun(IInstallContext& context);

    Optional<Result<Io::Path>> mRunFolder;
};

} // namespace Tarvio
