#pragma once

#include "tarviodeploy/installer/sideprogramcomponent.h"

namespace Tarvio {

// The licensing server program; chosen only by the user.
class LicensingServerComponent : public SideProgramComponent {
public:
    LicensingServerComponent();

    String name() const override;
    // The program, then its two log files as the component's, so that its removal deletes them.
    void install(IInstallContext& context) override;
    void unpack(IInstallContext& context) override;
};

} // namespace Tarvio
