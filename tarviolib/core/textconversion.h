#pragma once

#include <cstdint>

namespace Tarvio::Detail {

// Both convert a NUL-terminated text with its terminator into a buffer of capacity units and answer
// the units written, terminator included; 0 when the buffer is too small. Ill-formed input becomes
// U+FFFD.
int32_t convertUtf8ToUtf16(const char* bytes, wchar_t* units, int32_t capacity);
int32_t convertUtf16ToUtf8(const wchar_t* units, char* bytes, int32_t capacity);

} // namespace Tarvio::Detail
