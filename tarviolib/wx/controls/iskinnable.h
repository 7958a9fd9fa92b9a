#pragma once

#include "tarviolib/core/object.h"
#include "tarviolib/wx/controls/skin.h"

namespace Tarvio {

// A control whose colours come from a Skin.
class ISkinnable : public Polymorphic {
public:
    virtual void setSkin(const Wx::Skin& skin) = 0;
};

} // namespace Tarvio
