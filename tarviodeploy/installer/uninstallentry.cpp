#include "tarviodeploy/installer/uninstallentry.h"

#include "tarviolib/winapi/registry.h"

namespace Tarvio {

void writeUninstallEntry(const UninstallEntry& entry, const String& id) {
    const String path = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + id;
    WinApi::Registry::deleteKey(path);
    const Optional<WinApi::Registry::Key> key = WinApi::Registry::createKey(path);
    if (!key.hasValue()) {
        return;
    }
    const WinApi::Registry::Key& k = key.value();
    k.writeString(L"Publisher", entry.publisher);
    k.writeString(L"DisplayName", entry.displayName);
    k.writeString(L"InstallLocation", entry.installLocation.toNative());
    k.writeString(L"UninstallString", "\"" + entry.uninstallerPath + "\"");
    k.writeDword(L"NoModify", entry.noModify ? 1 : 0);
    k.writeDword(L"NoRepair", entry.noRepair ? 1 : 0);
    k.writeDword(L"NoRemove", entry.noRemove ? 1 : 0);
    if (entry.displayVersion.hasValue()) {
        k.writeString(L"DisplayVersion", entry.displayVersion.value());
    }
    if (!entry.displayIcon.isEmpty()) {
        k.writeString(L"DisplayIcon", entry.displayIcon.toNative());
    }
    if (entry.estimatedSize != 0) {
        k.writeDword(L"EstimatedSize", entry.estimatedSize);
    }
}

} // namespace Tarvio
