#include "tarviodeploy/shared/systemrequirements.h"

#include "tarviolib/winapi/testsystem.h"

#include <windows.h>

namespace Tarvio {

bool isWindows7OrNewer() {
#ifdef TARVIO_TEST_SEAMS
    if (WinApi::hasTestSystemTrait(L"pre-windows7")) {
        return false;
    }
#endif
    OSVERSIONINFOEXW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    version.dwMajorVersion = 6;
    version.dwMinorVersion = 1;
    version.wServicePackMajor = 0;
    DWORDLONG conditions = 0;
    conditions = VerSetConditionMask(conditions, VER_MAJORVERSION, VER_GREATER_EQUAL);
    conditions = VerSetConditionMask(conditions, VER_MINORVERSION, VER_GREATER_EQUAL);
    conditions = VerSetConditionMask(conditions, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
    return VerifyVersionInfoW(&version, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR, conditions) !=
           FALSE;
}

bool is64BitWindows() {
#ifdef TARVIO_TEST_SEAMS
    if (WinApi::hasTestSystemTrait(L"32-bit-windows")) {
        return false;
    }
#endif
#ifdef _WIN64
    return true; // a 64-bit process runs on 64-bit Windows only
#else
    BOOL emulated = FALSE;
    return IsWow64Process(GetCurrentProcess(), &emulated) && emulated;
#endif
}

} // namespace Tarvio
