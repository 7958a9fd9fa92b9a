#include "tarviolib/core/textconversion.h"

#include <windows.h>

namespace Tarvio::Detail {

int32_t convertUtf8ToUtf16(const char* bytes, wchar_t* units, int32_t capacity) {
    return MultiByteToWideChar(CP_UTF8, 0, bytes, -1, units, capacity);
}

int32_t convertUtf16ToUtf8(const wchar_t* units, char* bytes, int32_t capacity) {
    return WideCharToMultiByte(CP_UTF8, 0, units, -1, bytes, capacity, nullptr, nullptr);
}

} // namespace Tarvio::Detail
