#pragma once

#include "tarviodeploy/installer/sideprogramcomponent.h"

namespace Tarvio {

// The standalone renderer with its shared libraries.
class StandaloneComponent : public SideProgramComponent {
public:
    StandaloneComponent();

    String name() const override;
    // The files, then the "scn" association, the registry value naming the folder and the log's
    // record.
    void install(IInstallContext& context) override;
    void unpack(IInstallContext& context) override;

private:
    // The renderer program's path, or why it was not installed.
    static Result<Io::Path> installFiles(IInstallContext& context);
};

} // namespace Tarvio
