#include "tarviodeploy/shared/componentcategory.h"

namespace Tarvio {

void ComponentCategory::forEachComponent(const Function<void(Component&)>& function) const {
    for (const SharedPtr<Component>& component : mComponents) {
        function(*component);
    }
}

} // namespace Tarvio
