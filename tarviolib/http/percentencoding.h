#pragma once

#include "tarviolib/core/string.h"

namespace Tarvio {

// The UTF-8 bytes of text: letters, digits and "-._~" as they are, every other byte as "%" and two
// lowercase hexadecimal digits.
String percentEncode(const String& text);

// For application/x-www-form-urlencoded bodies: percentEncode with blanks as "+".
String formEncode(const String& text);

// percentEncode between the slashes; the slashes stay.
String percentEncodePath(const String& path);

} // namespace Tarvio
