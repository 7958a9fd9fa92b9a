#include "tarviolib/core/base64.h"

namespace Tarvio {

String base64Encode(const uint8_t* data, int32_t count) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    String text;
    for (int32_t index = 0; index < count; index += 3) {
        const int32_t available = count - index < 3 ? count - index : 3;
        uint32_t group = static_cast<uint32_t>(data[index]) << 16;
        if (available > 1) {
            group |= static_cast<uint32_t>(data[index + 1]) << 8;
        }
        if (available > 2) {
            group |= data[index + 2];
        }
        // n bytes fill n + 1 characters; the rest of the four is padding.
        for (int32_t character = 0; character < 4; ++character) {
            text += character <= available ? alphabet[(group >> (18 - 6 * character)) & 63] : '=';
        }
    }
    return text;
}

} // namespace Tarvio
