#include "tarviolib/winapi/module.h"

#include "tarviolib/core/buffer.h"

#include <windows.h>

namespace Tarvio::WinApi {

Optional<FileResource> loadFileResource(HMODULE module, const String& name) {
    const HRSRC resource = FindResourceW(module, name.text(), L"FILE");
    if (resource == nullptr) {
        return {};
    }
    FileResource located;
    located.data = LockResource(LoadResource(module, resource));
    located.size = SizeofResource(module, resource);
    return located;
}

Io::Path executablePath() {
    constexpr DWORD Capacity = 4096;
    Buffer<wchar_t> name(Capacity);
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), Capacity);
    return Io::Path(String(name.data(), static_cast<int32_t>(length)));
}

} // namespace Tarvio::WinApi
