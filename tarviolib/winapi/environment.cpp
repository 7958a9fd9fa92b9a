#include "tarviolib/winapi/environment.h"

#include "tarviolib/core/buffer.h"

#include <windows.h>

namespace Tarvio::WinApi {

Optional<String> environmentVariable(const String& name) {
    DWORD size = GetEnvironmentVariableW(name.text(), nullptr, 0);
    // The variable may change between the calls: an answer that does not fit is the size it needs now.
    while (size != 0) {
        Buffer<wchar_t> text(static_cast<int32_t>(size));
        // An empty variable also answers 0, without setting an error.
        SetLastError(ERROR_SUCCESS);
        const DWORD length = GetEnvironmentVariableW(name.text(), text.data(), size);
        if (length < size) {
            if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) {
                return {};
            }
            return String(text.data(), static_cast<int32_t>(length));
        }
        size = length;
    }
    return {};
}

} // namespace Tarvio::WinApi
