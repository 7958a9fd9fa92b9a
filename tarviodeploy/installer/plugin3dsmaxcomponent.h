#pragma once

#include "tarviodeploy/shared/component.h"

#include <cstdint>

namespace Tarvio {

// The renderer plug-in in one 3ds Max version's folder: plug-in modules, scripts, toolbar icons,
// the hair-and-fur module and the renderer's libraries.
class Plugin3dsMaxComponent : public Component {
public:
    explicit Plugin3dsMaxComponent(int32_t year) : mYear(year) {}

    String name() const override;
    String caption() const override;
    String id() const override;
    // The plug-in, then the module names of the version it replaces, so that removing it takes them too.
    void install(IInstallContext& context) override;
    void unpack(IInstallContext& context) override;
    void removeLegacyInstallation() override;
    PrerequisiteIssues checkPrerequisites() const override;
    PrerequisiteIssues queryPrerequisites() const override { return checkPrerequisites(); }

    int32_t year() const { return mYear; }

private:
    String yearName() const;

    int32_t mYear;
};

} // namespace Tarvio
