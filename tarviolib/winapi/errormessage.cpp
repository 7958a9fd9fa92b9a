#include "tarviolib/winapi/errormessage.h"

#include "tarviolib/winapi/scopedhandle.h"

#include <windows.h>

#include <string>

namespace Tarvio::WinApi {

String errorMessage(uint32_t code) {
    DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    HMODULE module = nullptr;
    if (code >= 12000 && code <= 12175) {
        flags |= FORMAT_MESSAGE_FROM_HMODULE;
        module = GetModuleHandleW(L"WinInet.dll");
    }
    LocalMemory<wchar_t> buffer;
    const DWORD length = FormatMessageW(flags, module, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                        reinterpret_cast<wchar_t*>(buffer.receive()), 0, nullptr);
    String text;
    if (buffer) {
        text = String(buffer.get(), static_cast<int32_t>(length));
        text.trim();
    }
    if (text.isEmpty()) {
        // Unsigned: HRESULT-like codes have the top bit set.
        text = String(L"Error code ") + std::to_wstring(code).c_str();
    }
    return text;
}

String lastErrorMessage() {
    return errorMessage(GetLastError());
}

} // namespace Tarvio::WinApi
