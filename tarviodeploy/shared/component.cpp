#include "tarviodeploy/shared/component.h"

namespace Tarvio {

String Component::caption() const {
    return name();
}

String Component::id() const {
    return name();
}

bool Component::isTracked() const {
    return true;
}

Optional<String> Component::version(IInstallContext&) const {
    return {};
}

void Component::install(IInstallContext& context) {
    unpack(context);
}

void Component::removeLegacyInstallation() {}

PrerequisiteIssues Component::checkPrerequisites() const {
    return {};
}

PrerequisiteIssues Component::queryPrerequisites() const {
    return checkPrerequisites();
}

bool Component::prepareInstall(IInstallContext&) {
    return true;
}

} // namespace Tarvio
