#pragma once

#include "tarviodeploy/installer/contentbundlecomponent.h"

namespace Tarvio {

// The light profiles, by default into the product folder's "ies".
class IesComponent : public ContentBundleComponent {
public:
    IesComponent();

    String name() const override;
};

} // namespace Tarvio
