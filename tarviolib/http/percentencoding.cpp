#include "tarviolib/http/percentencoding.h"

#include "tarviolib/core/narrowstring.h"

namespace Tarvio {

namespace {

bool isUnreserved(char byte) {
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
           byte == '-' || byte == '.' || byte == '_' || byte == '~';
}

} // namespace

String percentEncode(const String& text) {
    static const char digits[] = "0123456789abcdef";
    const NarrowString utf8 = text.toUtf8();
    String encoded;
    for (int32_t i = 0; i < utf8.length(); ++i) {
        const char byte = utf8.text()[i];
        if (isUnreserved(byte)) {
            encoded += byte;
        } else {
            const unsigned char value = static_cast<unsigned char>(byte);
            encoded += '%';
            encoded += digits[value >> 4];
            encoded += digits[value & 0x0F];
        }
    }
    return encoded;
}

String formEncode(const String& text) {
    String encoded = percentEncode(text);
    encoded.replaceAll("%20", "+");
    return encoded;
}

String percentEncodePath(const String& path) {
    String encoded;
    const Array<String> segments = path.split("/", false);
    for (int32_t i = 0; i < segments.size(); ++i) {
        if (i > 0) {
            encoded += '/';
        }
        encoded += percentEncode(segments[i]);
    }
    return encoded;
}

} // namespace Tarvio
