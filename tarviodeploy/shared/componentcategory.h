#pragma once

#include "tarviodeploy/shared/component.h"
#include "tarviolib/core/array.h"
#include "tarviolib/core/function.h"
#include "tarviolib/core/sharedptr.h"
#include "tarviolib/core/string.h"

#include <cstdint>

namespace Tarvio {

enum class CategoryLayout : int32_t {
    // A grid of check boxes labelled with each component's caption.
    CheckBoxGrid = 0,
    // One row per component: its check box and a chooser for its folder.
    CheckBoxesWithPaths = 1,
};

// A group of components shown together on the options screen. Copies share the components.
class ComponentCategory : public Object {
public:
    ComponentCategory(const String& name, CategoryLayout layout) : mName(name), mLayout(layout) {}

    void addComponent(const SharedPtr<Component>& component) { mComponents.append(component); }
    // In the order they were added.
    void forEachComponent(const Function<void(Component&)>& function) const;

    const Array<SharedPtr<Component>>& components() const { return mComponents; }
    const String& name() const { return mName; }
    CategoryLayout layout() const { return mLayout; }

private:
    Array<SharedPtr<Component>> mComponents;
    String mName;
    CategoryLayout mLayout;
};

} // namespace Tarvio
