#include "tarviodeploy/shared/installerlogger.h"

#include "tarviolib/core/exception.h"
#include "tarviolib/core/formatting.h"
#include "tarviolib/io/filesystem.h"
#include "tarviolib/winapi/knownfolders.h"

namespace Tarvio {

InstallerLogger::InstallerLogger() {
    try {
        const Result<Io::Path> directory = Io::productDataDirectory();
        if (!directory.ok()) {
            return;
        }
        // On a clean machine nothing else creates the folder before the first entry.
        Io::createDirectories(directory.value());
        const Io::Path path = directory.value() / "DeployLog.txt";
        const uint32_t bom = Io::isMissingOrEmptyFile(path) ? TextOutputFlag::WriteBom : 0;
        mLogFile.open(path, TextEncoding::Utf8, TextOutputFlag::Append | bom);
        mLogFileOpen = true;
    } catch (const Exception&) {
        // The log file is a convenience: the user interface still shows every message.
    }
}

void InstallerLogger::log(const String& text, LogLevel level) {
    print(text, level);
    if (mLogFileOpen) {
        mLogFile.write(formatDateTime(DateTimeDate | DateTimeTime) + " " + text);
        mLogFile.flush();
    }
}

} // namespace Tarvio
