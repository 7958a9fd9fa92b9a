#pragma once

#include "tarviolib/commandline/argument.h"

namespace Tarvio::CommandLine {

// An option that takes no value: its token alone makes it present.
class SwitchArgument : public Argument {
public:
    using Argument::Argument;

    int32_t consume(const String* tokens, int32_t count, int32_t index) override;
};

} // namespace Tarvio::CommandLine
