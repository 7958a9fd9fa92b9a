#include "tarviolib/ui/guiutils.h"

#include <windows.h>

#include <shellapi.h>

namespace Tarvio {

namespace {

bool shellOpen(const String& file) {
    const HINSTANCE result = ShellExecuteW(nullptr, L"open", file.text(), nullptr, nullptr, SW_SHOW);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

} // namespace

bool openInShell(const Io::Path& path) {
    return shellOpen(path.toNative());
}

bool openUrl(const String& address) {
    return shellOpen(address);
}

} // namespace Tarvio
