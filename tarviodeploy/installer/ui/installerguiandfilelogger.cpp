#include "tarviodeploy/installer/ui/installerguiandfilelogger.h"

#include "tarviodeploy/shared/ui/coloredtextcontrol.h"
#include "tarviodeploy/shared/ui/interfacecolours.h"
#include "tarviolib/core/stopreport.h"

namespace Tarvio {

InstallerGuiAndFileLogger::InstallerGuiAndFileLogger(ColoredTextControl* log) : mLog(log) {}

void InstallerGuiAndFileLogger::updateProgress(const String& text) {
    mLog->replaceLastText(text);
}

void InstallerGuiAndFileLogger::print(const String& text, LogLevel level) {
    switch (level) {
    case LogLevel::Info:
        mLog->appendText(text, toWxColour(InterfaceColours::text));
        return;
    case LogLevel::Warning:
        mLog->appendText(text, toWxColour(InterfaceColours::warning));
        return;
    case LogLevel::Error:
        mLog->appendText(text, toWxColour(InterfaceColours::error));
        return;
    }
    throwStop("tarviodeploy/installer/ui/installerguiandfilelogger", 41);
}

} // namespace Tarvio
