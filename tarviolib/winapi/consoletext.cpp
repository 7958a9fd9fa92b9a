#include "tarviolib/winapi/consoletext.h"

#include <windows.h>

#include <io.h>

namespace Tarvio::WinApi {

void writeConsoleText(std::FILE* stream, const String& text) {
    if (text.isEmpty()) {
        return;
    }
    std::fflush(stream);
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    // Only a console takes wide text. Its mode would tell a console too, but a handle opened for
    // writing alone, as the runtime opens "CONOUT$" for mode "w", cannot be asked for it.
    DWORD written = 0;
    if (handle != INVALID_HANDLE_VALUE &&
        WriteConsoleW(handle, text.text(), static_cast<DWORD>(text.size()), &written, nullptr)) {
        return;
    }
    // The stream's text mode turns each line feed into CR LF, as for every other console write.
    const NarrowString bytes = text.toUtf8();
    std::fwrite(bytes.text(), 1, static_cast<size_t>(bytes.length()), stream);
    std::fflush(stream);
}

} // namespace Tarvio::WinApi
