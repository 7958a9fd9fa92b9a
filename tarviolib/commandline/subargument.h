#pragma once

#include "tarviolib/core/object.h"
#include "tarviolib/core/string.h"

namespace Tarvio::CommandLine {

// A named part of an option's token: "-option:name=value".
class SubArgument : public Polymorphic {
public:
    explicit SubArgument(const String& name) : mName(name) {}

    const String& name() const { return mName; }
    // Receives the whole part: the name, "=" and the value.
    virtual void setValue(const String& part) = 0;

private:
    String mName;
};

} // namespace Tarvio::CommandLine
