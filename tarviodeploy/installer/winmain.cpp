#include "tarviodeploy/installer/console.h"
#include "tarviodeploy/installer/installer.h"
#include "tarviodeploy/installer/installercliandfilelogger.h"
#include "tarviodeploy/installer/plugindescriptor3dsmax.h"
#include "tarviodeploy/installer/ui/wizard.h"
#include "tarviodeploy/shared/deploymentenvironment.h"
#include "tarviodeploy/shared/ui/deploymentcli.h"
#include "tarviodeploy/shared/ui/deploymentgui.h"
#include "tarviolib/commandline/helpmixin.h"
#include "tarviolib/commandline/parser.h"
#include "tarviolib/commandline/switchargument.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/core/systemlibrary.h"
#include "tarviolib/ui/guiutils.h"
#include "tarviolib/winapi/consoletext.h"
#include "tarviolib/winapi/module.h"
#include "tarviolib/winapi/process.h"
#include "tarviolib/winapi/security.h"
#include "tarviolib/wx/library.h"

#include <windows.h>

#include <exception>
#include <sstream>

namespace Tarvio {
namespace {

// Every line goes through the console-text writer: the messages are UTF-8, which a console would
// show in its own code page.
void printError(const char* message, const char* end = "\n") {
    WinApi::writeConsoleText(stderr, "Error: " + String::fromUtf8(message) + end);
}

int32_t runCommandLineInstallation(PluginDescriptor& descriptor, DeploymentEnvironment& environment) {
    if (!WinApi::isUserAdmin()) {
        printError("Installation must be run from elevated (admin) console.");
        return 1;
    }
    DeploymentCli ui(DeploymentUserInterface::Mode::Installer);
    if (!hasStandardOutput()) {
        allocateConsole();
    }
    Installer installer(&descriptor, &environment, &ui);
    InstallerCliAndFileLogger logger;
    const OperationResult result = installer.run(logger);
    logger.log(result == OperationResult::Failed ? L"Installation of some of the components has failed"
                                                 : L"Installation has been finished",
               LogLevel::Info);
    return result == OperationResult::Failed ? 1 : 0;
}

int32_t runGraphicalInstallation(PluginDescriptor& descriptor, DeploymentEnvironment& environment) {
    // Nothing here writes to a console, and closing one that the process holds would end it in the
    // middle of an installation: the console's prompt is back at once, since it does not wait for
    // a windowed program.
    releaseConsole();
    if (WinApi::isUserAdmin()) {
        DeploymentGui ui(nullptr, DeploymentUserInterface::Mode::Installer, &environment);
        Installer installer(&descriptor, &environment, &ui);
        // The loop's own code, whatever the installation's result.
        return runWizard(installer);
    }
    if (WinApi::isUacEnabled()) {
        // The elevated copy gets no arguments, so it always takes the graphical road. A user who
        // declines the elevation has chosen so: nothing to tell.
        return WinApi::startElevated(WinApi::executablePath(), Array<String>()) ? 0 : 1;
    }
    showMessageBox(nullptr, String("Tarvio Installer"), String("Tarvio installer needs to be run by an administrator."),
                   MessageBoxKind::Error, MessageBoxButtons::Ok);
    return 1;
}

// A failure that nothing else reported: on the graphical road in the front end's error box (a
// program started from Explorer has no error stream), on the command line as an error line.
void reportUnexpectedFailure(bool commandLine, const std::exception& exception) {
    if (commandLine) {
        printError(exception.what());
        return;
    }
    DeploymentGui(nullptr, DeploymentUserInterface::Mode::Installer, nullptr).error(exceptionMessage(exception));
}

// Every object of a road lives in this frame, so all are gone before the library stops.
int32_t runRoads() {
    attachParentConsole();

    using HelpSwitch = CommandLine::HelpMixin<CommandLine::SwitchArgument>;
    HelpSwitch autoInstall(L"", L"acceptEulaAndAutoInstall", L"Runs the command-line version of the installer.");
    HelpSwitch help(L"h", L"help", L"Display this help message.");
    CommandLine::Parser parser;
    parser.addArgument(&autoInstall);
    parser.addArgument(&help);

    try {
        parser.parseProcessCommandLine();
    } catch (const Exception& exception) {
        printError(exception.what(), "");
        return 1;
    }
    if (help.present()) {
        std::ostringstream text;
        parser.printHelp(text);
        WinApi::writeConsoleText(stdout, String::fromUtf8(text.str().c_str()));
        return 0;
    }

    // Anything that leaves a road unexpectedly still ends in order (the environment deletes its
    // temporary files on the way out), reported as the road reports, with code 1.
    try {
        const UniquePtr<PluginDescriptor> descriptor = createPluginDescriptor();
        const WinApi::FileResource payload = descriptor->payload();
        DeploymentEnvironment environment(payload.data, static_cast<int32_t>(payload.size));
        if (autoInstall.present()) {
            return runCommandLineInstallation(*descriptor, environment);
        }
        return runGraphicalInstallation(*descriptor, environment);
    } catch (const std::exception& exception) {
        reportUnexpectedFailure(autoInstall.present(), exception);
        return 1;
    }
}

int32_t programEntry() {
    try {
        initLibrary(1);
    } catch (const std::exception& exception) {
        attachParentConsole();
        printError(exception.what());
        return 1;
    }
    const int32_t code = runRoads();
    deinitLibrary();
    return code;
}

} // namespace
} // namespace Tarvio

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Before anything loads a library by name: an installer is started from a download folder and
    // runs elevated, and that folder may hold a file named like a system library.
    Tarvio::restrictLibrarySearchToSystemFolder();
    return Tarvio::programEntry();
}
