#pragma once

#include "tarviodeploy/shared/component.h"
#include "tarviodeploy/shared/componentcategory.h"
#include "tarviolib/core/string.h"
#include "tarviolib/core/uniqueptr.h"

namespace Tarvio {

// Where the product's descriptor registers its categories and components; the order of
// registration is the order of installation, unpacking and reporting.
class ComponentRegistrator {
public:
    virtual ~ComponentRegistrator() = default;
    // Appends a new, empty category.
    virtual void addCategory(const String& name, CategoryLayout layout) = 0;
    // Appends to the most recently added category, which must exist, and to the full list.
    virtual void addComponent(UniquePtr<Component> component) = 0;
    // Appends to the full list only: such a component is never shown but installed all the same.
    virtual void addUncategorizedComponent(UniquePtr<Component> component) = 0;
};

} // namespace Tarvio
