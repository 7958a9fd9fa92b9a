#pragma once

#include "tarviodeploy/installer/sideprogramcomponent.h"

namespace Tarvio {

// The distributed-rendering server.
class DrServerComponent : public SideProgramComponent {
public:
    DrServerComponent();

    String name() const override;
    void unpack(IInstallContext& context) override;
};

} // namespace Tarvio
