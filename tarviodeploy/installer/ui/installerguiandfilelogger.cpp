#include "tarviodeploy/installer/ui/installerguiandfilelogger.h"

#include "tarviodeploy/shared/ui/coloredtextcontrol.h"
#include "tarviolib/core/stopreport.h"

namespace Tarvio {

InstallerGuiAndFileLogger::InstallerGuiAndFileLogger(ColoredTextControl* log) : mLog(log) {}

void InstallerGuiAndFileLogger::updateProgress(const String& text) {
    mLog->replaceLastText(text);
}

void InstallerGuiAndFileLogger::print(const String& text, LogLevel level) {
    switch (level) {
    case LogLevel::Info:
        mLog->appendText(text, wxColour(190, 190, 190));
        return;
    case LogLevel::Warning:
        mLog->appendText(text, wxColour(232, 170, 39));
        return;
    case LogLevel::Error:
        mLog->appendText(text, wxColour(210, 40, 40));
        return;
    }
    throwStop("tarviodeploy/installer/ui/installerguiandfilelogger", 41);
}

} // namespace Tarvio
