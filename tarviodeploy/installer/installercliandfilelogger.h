#pragma once

#include "tarviodeploy/shared/installerlogger.h"

namespace Tarvio {

// The command-line logger: every text goes unchanged to the standard error stream.
class InstallerCliAndFileLogger : public InstallerLogger {
public:
    void updateProgress(const String&) override {}
    bool isGui() const override { return false; }
    void print(const String& text, LogLevel level) override;
};

} // namespace Tarvio
