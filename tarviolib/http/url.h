#pragma once

#include "tarviolib/core/object.h"
#include "tarviolib/core/result.h"
#include "tarviolib/core/string.h"

#include <cstdint>

namespace Tarvio {

// An absolute URL without user, query or fragment: protocol://host[:port][/path].
struct Url : public Object {
    // Longer texts are malformed without being matched: the matcher's recursion grows with the length.
    static constexpr int32_t MaxLength = 2048;

    // "Malformed URL", or the port error for a protocol without a default port and none written.
    static Result<Url> parse(const String& text);

    String protocol; // lower-cased
    String host;     // lower-cased
    String path;     // without its leading "/"; empty when there is none
    uint16_t port = 0;
};

} // namespace Tarvio
