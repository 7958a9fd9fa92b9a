#pragma once

#include "tarviolib/core/optional.h"
#include "tarviolib/core/pair.h"
#include "tarviolib/core/result.h"
#include "tarviolib/core/string.h"
#include "tarviolib/core/uniqueptr.h"
#include "tarviolib/io/stream.h"

#include <cstdint>

namespace Tarvio {

// The body of one HTTP or HTTPS response, read like a file. Every request carries the header
// "Content-Type: application/x-www-form-urlencoded" and uses the system's proxy settings; the
// response status is not examined, so an error page is a body like any other. A failure before
// the body can be read is thrown with the step, the target and the platform's error text; so is a
// body that breaks off, or ends before the announced Content-Length.
class HttpInputStream : public Io::BinaryInputStream {
public:
    // The time-out (milliseconds) bounds connecting, sending and each wait for data.
    static UniquePtr<HttpInputStream> get(const String& url, uint32_t timeout, uint32_t reserved = 0);
    // The fields, form-encoded, as the body.
    static UniquePtr<HttpInputStream> post(const String& url, const StringPair* fields, int32_t count,
                                           uint32_t timeout, uint32_t reserved = 0);
    // post, then the whole answer as UTF-8 text with LF line ends; a thrown Exception becomes the
    // error.
    static Result<String> postAndReadAll(const String& url, const StringPair* fields, int32_t count,
                                         uint32_t timeout, uint32_t reserved = 0);

    // Empty without the header or when it is not a number.
    virtual Optional<int64_t> contentLength() const = 0;
    // Exactly as sent, quotes and a weak-validator prefix included; empty without the header.
    virtual Optional<String> etag() const = 0;
};

} // namespace Tarvio
