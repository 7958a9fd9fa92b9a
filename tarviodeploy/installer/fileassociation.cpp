#include "tarviodeploy/installer/fileassociation.h"

#include "tarviolib/winapi/registry.h"
#include "tarviolib/winapi/shellnotification.h"

namespace Tarvio {

namespace Registry = WinApi::Registry;

namespace {

// Where an existing association of an extension may be, each followed by the extension.
const wchar_t* const existingAssociationKeys[] = {
    L"HKEY_CLASSES_ROOT/.",
    L"HKEY_CURRENT_USER/SOFTWARE/Classes/.",
    L"HKEY_LOCAL_MACHINE/SOFTWARE/Classes/.",
};

const wchar_t* const classesKey = L"HKEY_CURRENT_USER/SOFTWARE/Classes";

String quoted(const String& text) {
    return L"\"" + text + L"\"";
}

bool ensureKey(const String& path) {
    return Registry::keyExists(path) || Registry::createKey(path).hasValue();
}

} // namespace

bool registerFileAssociation(const String& prefix, const Io::Path& program, const String& extension) {
    for (const wchar_t* key : existingAssociationKeys) {
        if (Registry::keyExists(key + extension)) {
            return false;
        }
    }
    const String programId = prefix + L"." + extension;
    const String programKey = classesKey + String(L"/") + programId;
    const String native = program.toNative();
    const String command = quoted(native) + L" " + quoted(L"%1");
    if (!writeRegistryStringCreatingKeys(classesKey + String(L"/.") + extension, L"", programId) ||
        !writeRegistryStringCreatingKeys(programKey + L"/shell/open/command", L"", command) ||
        !writeRegistryStringCreatingKeys(programKey + L"/DefaultIcon", L"", native + L",0")) {
        return false;
    }
    WinApi::notifyFileAssociationsChanged();
    return true;
}

bool writeRegistryStringCreatingKeys(const String& keyPath, const String& valueName, const String& value) {
    String path = keyPath;
    path.replaceAll(L"/", L"\\");
    for (int32_t separator = path.find(L"\\"); separator != String::NotFound;
         separator = path.find(L"\\", separator + 1)) {
        if (!ensureKey(path.substr(0, separator))) {
            return false;
        }
    }
    return ensureKey(path) && Registry::writeString(path, valueName, value);
}

} // namespace Tarvio
