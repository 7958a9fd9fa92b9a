#pragma once

#include "tarviodeploy/shared/installerlogger.h"

namespace Tarvio {

class ColoredTextControl;

// The graphical installer's logger: each message in the coloured log, in its level's colour, and
// in "DeployLog.txt" like every logger. It may be used from any thread: the log applies its
// changes on the main thread, in the order they were made.
class InstallerGuiAndFileLogger : public InstallerLogger {
public:
    // The log is not owned and must outlive the logger.
    explicit InstallerGuiAndFileLogger(ColoredTextControl* log);

    void updateProgress(const String& text) override;
    bool isGui() const override { return true; }
    void print(const String& text, LogLevel level) override;

private:
    ColoredTextControl* mLog;
};

} // namespace Tarvio
