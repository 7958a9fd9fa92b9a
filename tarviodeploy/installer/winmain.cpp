#include "tarviodeploy/installer/console.h"
#include "tarviodeploy/installer/installer.h"
#include "tarviodeploy/installer/installercliandfilelogger.h"
#include "tarviodeploy/installer/plugindescriptor3dsmax.h"
#include "tarviodeploy/shared/deploymentenvironment.h"
#include "tarviodeploy/shared/ui/deploymentcli.h"
#include "tarviolib/commandline/helpmixin.h"
#include "tarviolib/commandline/parser.h"
#include "tarviolib/commandline/switchargument.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/ui/guiutils.h"
#include "tarviolib/winapi/module.h"
#include "tarviolib/winapi/process.h"
#include "tarviolib/winapi/security.h"
#include "tarviolib/wx/library.h"

#include <windows.h>

#include <exception>
#include <iostream>

namespace Tarvio {
namespace {

int32_t runCommandLineInstallation(PluginDescriptor& descriptor, DeploymentEnvironment& environment) {
    if (!WinApi::isUserAdmin()) {
        std::cerr << "Error: Installation must be run from elevated (admin) console." << std::endl;
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

int32_t runGraphicalInstallation() {
    if (WinApi::isUserAdmin()) {
        std::cerr << "Error: The graphical installer is not available in this build." << std::endl;
        return 1;
    }
    if (WinApi::isUacEnabled()) {
        // The elevated copy gets no arguments, so it always takes the graphical road.
        WinApi::Process(WinApi::executablePath(), Array<String>(),
                        WinApi::ProcessFlag::RunAsAdministrator | WinApi::ProcessFlag::Detached);
        return 0;
    }
    showMessageBox(nullptr, String("Tarvio Installer"), String("Tarvio installer needs to be run by an administrator."),
                   MessageBoxKind::Error, MessageBoxButtons::Ok);
    return 1;
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
        std::cerr << "Error: " << exception.what();
        return 1;
    }
    if (help.present()) {
        parser.printHelp(std::cout);
        return 0;
    }

    // Anything that leaves a road unexpectedly still ends in order (the environment deletes its
    // temporary files on the way out), with its message and code 1.
    try {
        const UniquePtr<PluginDescriptor> descriptor = createPluginDescriptor();
        const WinApi::FileResource payload = descriptor->payload();
        DeploymentEnvironment environment(payload.data, static_cast<int32_t>(payload.size));
        if (autoInstall.present()) {
            return runCommandLineInstallation(*descriptor, environment);
        }
        return runGraphicalInstallation();
    } catch (const std::exception& exception) {
        std::cerr << "Error: " << exception.what() << std::endl;
        return 1;
    }
}

int32_t programEntry() {
    try {
        initLibrary(1);
    } catch (const std::exception& exception) {
        attachParentConsole();
        std::cerr << "Error: " << exception.what() << std::endl;
        return 1;
    }
    const int32_t code = runRoads();
    deinitLibrary();
    return code;
}

} // namespace
} // namespace Tarvio

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return Tarvio::programEntry();
}
