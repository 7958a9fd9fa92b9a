#include "tarviolib/winapi/shortcut.h"

#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <shlguid.h>
#include <shobjidl.h>

namespace Tarvio::WinApi {

namespace {

// True when the link was saved.
bool saveLink(const String& target, const String& link, const String& description) {
    IShellLinkW* shellLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&shellLink)))) {
        return false;
    }
    shellLink->SetPath(target.text());
    shellLink->SetDescription(description.text());
    IPersistFile* file = nullptr;
    bool saved = false;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        saved = SUCCEEDED(file->Save(link.text(), TRUE));
        file->Release();
    }
    shellLink->Release();
    return saved;
}

} // namespace

Result<Io::Path> createShortcut(const Io::Path& target, const Io::Path& linkBase, const String& description) {
    const Io::Path link(linkBase.toNative() + L".lnk");
    // A thread already in another apartment refuses; uninitialising then would take away its own.
    const bool initialised = SUCCEEDED(CoInitialize(nullptr));
    const bool saved = saveLink(target.toNative(), link.toNative(), description);
    if (initialised) {
        CoUninitialize();
    }
    if (!saved) {
        return Result<Io::Path>::fromError("Failed to create a link");
    }
    return link;
}

} // namespace Tarvio::WinApi
