#pragma once

#include "tarviodeploy/installer/productidentity.h"
#include "tarviodeploy/shared/plugindescriptor.h"
#include "tarviolib/core/uniqueptr.h"

namespace Tarvio {

// The renderer plug-in for 3ds Max and its side programs.
class PluginDescriptor3dsMax : public PluginDescriptor {
public:
    String name() const override { return TARVIO_PRODUCT_NAME; }
    String id() const override { return L"TarvioForMax"; }
    String description() const override;
    String version() const override { return TARVIO_PRODUCT_VERSION; }
    int32_t referral() const override { return 5000; }
    void registerComponents(ComponentRegistrator& registrator) const override;
    // Throws when the executable carries no payload.
    WinApi::FileResource payload() const override;
    int32_t productId() const override { return 2; }
};

UniquePtr<PluginDescriptor> createPluginDescriptor();

} // namespace Tarvio
