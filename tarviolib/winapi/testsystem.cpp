#include "tarviolib/winapi/testsystem.h"

#ifdef TARVIO_TEST_SEAMS

#include "tarviolib/winapi/environment.h"

namespace Tarvio::WinApi {

bool hasTestSystemTrait(const wchar_t* trait) {
    const Optional<String> traits = environmentVariable(L"TARVIO_TEST_SYSTEM");
    if (!traits) {
        return false;
    }
    for (const String& listed : traits->split(L",", true)) {
        if (listed == trait) {
            return true;
        }
    }
    return false;
}

} // namespace Tarvio::WinApi

#endif
