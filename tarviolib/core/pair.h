#pragma once

#include "tarviolib/core/object.h"
#include "tarviolib/core/string.h"

#include <cstdint>
#include <utility>

namespace Tarvio {

// Two texts: a source and a destination path, a key and its value.
struct StringPair : public Object {
    StringPair() = default;
    StringPair(String first, String second) : first(std::move(first)), second(std::move(second)) {}

    String first;
    String second;
};

struct IntStringPair : public Object {
    IntStringPair() = default;
    IntStringPair(int32_t value, String text) : value(value), text(std::move(text)) {}

    int32_t value = 0;
    String text;
};

} // namespace Tarvio
