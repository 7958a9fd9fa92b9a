#pragma once

#include "tarviolib/core/object.h"
#include "tarviolib/core/string.h"
#include "tarviolib/io/textstream.h"

#include <cstdint>

namespace Tarvio {

enum class LogLevel : int32_t { Info = 0, Warning = 1, Error = 2 };

// Shows the engine's messages to the user and appends them, dated, to "DeployLog.txt".
class InstallerLogger : public Polymorphic {
public:
    // Opens the log file; without one the logger still shows every message.
    InstallerLogger();

    // The one way the engine logs: the text brings its own line end, or none.
    void log(const String& text, LogLevel level);

    virtual void updateProgress(const String& text) = 0;
    virtual bool isGui() const = 0;
    virtual void print(const String& text, LogLevel level) = 0;

private:
    TextOutputStream mLogFile;
    bool mLogFileOpen = false;
};

} // namespace Tarvio
