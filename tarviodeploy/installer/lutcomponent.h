#pragma once

#include "tarviodeploy/installer/contentbundlecomponent.h"

namespace Tarvio {

// The look-up tables, by default into the product folder's "lut".
class LutComponent : public ContentBundleComponent {
public:
    LutComponent();

    String name() const override;
};

} // namespace Tarvio
