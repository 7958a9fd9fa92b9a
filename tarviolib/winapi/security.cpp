#include "tarviolib/winapi/security.h"

#include "tarviolib/winapi/scopedhandle.h"

#include <windows.h>

#ifdef TARVIO_TEST_SEAMS
#include <cwchar>
#endif

namespace Tarvio::WinApi {

#ifdef TARVIO_TEST_SEAMS
namespace {

// Under Wine the process is always an elevated administrator. Test builds take another token kind
// from TARVIO_TEST_PRIVILEGES ("admin", "unelevated-admin" or "user"), read once and then removed
// from the environment, so that a program this process starts sees the real token again.
struct PrivilegeOverride {
    bool active = false;
    bool admin = false;
    bool uac = false;
};

const PrivilegeOverride& privilegeOverride() {
    static const PrivilegeOverride value = [] {
        PrivilegeOverride result;
        wchar_t text[32] = {};
        const DWORD length = GetEnvironmentVariableW(L"TARVIO_TEST_PRIVILEGES", text, 32);
        if (length == 0 || length >= 32) {
            return result;
        }
        SetEnvironmentVariableW(L"TARVIO_TEST_PRIVILEGES", nullptr);
        result.active = true;
        result.admin = std::wcscmp(text, L"admin") == 0;
        result.uac = result.admin || std::wcscmp(text, L"unelevated-admin") == 0;
        return result;
    }();
    return value;
}

} // namespace
#endif

bool isUserAdmin() {
#ifdef TARVIO_TEST_SEAMS
    if (privilegeOverride().active) {
        return privilegeOverride().admin;
    }
#endif
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    Sid administrators;
    if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0,
                                  0, 0, 0, administrators.receive())) {
        return false;
    }
    BOOL member = FALSE;
    if (!CheckTokenMembership(nullptr, administrators.get(), &member)) {
        member = FALSE;
    }
    return member != FALSE;
}

bool isUacEnabled() {
#ifdef TARVIO_TEST_SEAMS
    if (privilegeOverride().active) {
        return privilegeOverride().uac;
    }
#endif
    KernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.receive())) {
        return false;
    }
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    DWORD size = 0;
    const BOOL ok = GetTokenInformation(token.get(), TokenElevationType, &type, sizeof(type), &size);
    return ok && type != TokenElevationTypeDefault;
}

} // namespace Tarvio::WinApi
