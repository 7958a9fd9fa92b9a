#pragma once

#include "tarviolib/core/narrowstring.h"
#include "tarviolib/core/object.h"
#include "tarviolib/core/string.h"

#include <cstdint>

namespace Tarvio {

// The MD5 digest of RFC 1321.
class Md5 : public Object {
public:
    Md5();

    void update(const uint8_t* data, uint32_t count);
    // Pads, stores the digest and clears the pending state; later calls do nothing.
    void finalize();
    // 32 lowercase hexadecimal digits; empty until finalize.
    NarrowString hexDigest() const;
    // Compresses one 64-byte block into the state.
    void transform(const uint8_t* block);

private:
    bool mFinalized = false;
    uint8_t mBuffer[64] = {};
    uint32_t mBitCount[2] = {0, 0}; // low word first
    uint32_t mState[4];
    uint8_t mDigest[16] = {};
};

// The digest of the bytes of text up to its NUL, in lowercase hexadecimal.
String md5Hex(const char* text);

} // namespace Tarvio
