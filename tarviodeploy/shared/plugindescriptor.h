#pragma once

#include "tarviolib/core/object.h"
#include "tarviolib/core/string.h"
#include "tarviolib/winapi/module.h"

#include <cstdint>

namespace Tarvio {

class ComponentRegistrator;

// The product an installer deploys: its names, version, payload and components.
class PluginDescriptor : public Polymorphic {
public:
    virtual String name() const = 0;
    virtual String id() const = 0;
    virtual String description() const = 0;
    virtual String version() const = 0;
    virtual int32_t referral() const = 0;
    virtual void registerComponents(ComponentRegistrator& registrator) const = 0;
    // The pack file the executable carries.
    virtual WinApi::FileResource payload() const = 0;
    // The product's number in the maker's web services (see productIdentifiers).
    virtual int32_t productId() const = 0;
};

} // namespace Tarvio
