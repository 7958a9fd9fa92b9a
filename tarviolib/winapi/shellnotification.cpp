#include "tarviolib/winapi/shellnotification.h"

#include <windows.h>

#include <shlobj.h>

namespace Tarvio::WinApi {

void notifyFileAssociationsChanged() {
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

} // namespace Tarvio::WinApi
