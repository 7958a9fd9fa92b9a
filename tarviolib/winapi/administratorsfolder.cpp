#include "tarviolib/winapi/administratorsfolder.h"

#include "tarviolib/core/exception.h"
#include "tarviolib/winapi/errormessage.h"

#include <windows.h>

#include <objbase.h>
#include <sddl.h>

namespace Tarvio::WinApi {

namespace {

// Protected (P): nothing inherited from the parent. Object and container inherit (OICI), file all
// access (FA), for the built-in Administrators (BA) and the local system (SY).
const wchar_t* const AdministratorsOnlyAccess = L"D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)";

} // namespace

LocalMemory<void> administratorsOnlyFolderDescriptor() {
    LocalMemory<void> descriptor;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(AdministratorsOnlyAccess, SDDL_REVISION_1,
                                                              descriptor.receive(), nullptr)) {
        throwException("Failed to build the security descriptor " + String(AdministratorsOnlyAccess) + ": " +
                       lastErrorMessage());
    }
    return descriptor;
}

String securityDescriptorText(const void* descriptor) {
    LocalMemory<wchar_t> text;
    if (!ConvertSecurityDescriptorToStringSecurityDescriptorW(
            const_cast<void*>(descriptor), SDDL_REVISION_1,
            OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, text.receive(),
            nullptr)) {
        throwException("Failed to convert a security descriptor to text: " + lastErrorMessage());
    }
    return String(text.get());
}

Result<Io::Path> createAdministratorsOnlyFolder(const Io::Path& parent) {
    GUID guid;
    wchar_t guidText[40] = {};
    if (FAILED(CoCreateGuid(&guid)) || StringFromGUID2(guid, guidText, 40) == 0) {
        return Result<Io::Path>::fromError("Failed to make a name for a folder in " + parent.toNative());
    }
    // Without its braces.
    const String name = String(guidText).substr(1, 36);
    const Io::Path folder = parent / ("Tarvio-" + name);
    try {
        const LocalMemory<void> descriptor = administratorsOnlyFolderDescriptor();
        SECURITY_ATTRIBUTES attributes = {sizeof(SECURITY_ATTRIBUTES), descriptor.get(), FALSE};
        // Fails for a folder that exists, whoever made it: its access list would be theirs.
        if (!CreateDirectoryW(folder.toNative().text(), &attributes)) {
            return Result<Io::Path>::fromError("Failed to create directory " + folder.toNative() + ": " +
                                               lastErrorMessage());
        }
    } catch (const Exception& exception) {
        return Result<Io::Path>::fromError(exceptionMessage(exception));
    }
    return folder;
}

} // namespace Tarvio::WinApi
