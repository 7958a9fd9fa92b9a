#pragma once

#include "tarviodeploy/shared/component.h"

namespace Tarvio {

// The Microsoft runtime redistributable: extracted to the temporary folder and run silently in
// every installation. Untracked, so it leaves no install database entry.
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

private:
    static void extractAndRun(IInstallContext& context);
};

} // namespace Tarvio
