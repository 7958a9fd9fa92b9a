#include "tarviodeploy/installer/installercliandfilelogger.h"

#include "tarviolib/winapi/consoletext.h"

namespace Tarvio {

void InstallerCliAndFileLogger::print(const String& text, LogLevel) {
    WinApi::writeConsoleText(stderr, text);
}

} // namespace Tarvio
