#include "tarviolib/winapi/shortcut.h"

#include "tarviolib/winapi/scopedhandle.h"

#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <shlguid.h>
#include <shobjidl.h>

namespace Tarvio::WinApi {

namespace {

// True when the link was saved.
bool saveLink(const String& target, const String& link, const String& description) {
    ComPtr<IShellLinkW> shellLink;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(shellLink.receive())))) {
        return false;
    }
    shellLink.get()->SetPath(target.text());
    shellLink.get()->SetDescription(description.text());
    ComPtr<IPersistFile> file;
    if (FAILED(shellLink.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.receive())))) {
        return false;
    }
    return SUCCEEDED(file.get()->Save(link.text(), TRUE));
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
