#pragma once

#include "tarviolib/core/array.h"
#include "tarviolib/core/object.h"
#include "tarviolib/core/pair.h"
#include "tarviolib/core/string.h"

#include <cstdint>

namespace Tarvio {

// One signed report of an installation to the maker's report endpoint: ordered key-value fields,
// keys may repeat.
class InstallationReport : public Object {
public:
    // Adds "type", "computer-id" (for referral), "system" and "application", in that order.
    InstallationReport(int32_t referral, const String& application);

    void add(const String& key, const String& value);
    const Array<StringPair>& fields() const { return mFields; }

    // Posts the signed fields and drops the answer. Waits for the request to end; a failure of any
    // kind is neither thrown nor reported, since the report must not change the installation.
    void send() const;

    // The lowercase hexadecimal MD5 of the UTF-8 bytes of every value, in order, followed by a salt.
    // The keys take no part.
    static String signature(const Array<StringPair>& fields);
    // A copy of fields with ("signature", signature) appended: what send posts.
    static Array<StringPair> signedFields(const Array<StringPair>& fields);

private:
    Array<StringPair> mFields;
};

} // namespace Tarvio
