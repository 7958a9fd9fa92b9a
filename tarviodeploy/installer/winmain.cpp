#include "tarviodeploy/installer/console.h"
#include "tarviolib/commandline/helpmixin.h"
#include "tarviolib/commandline/parser.h"
#include "tarviolib/commandline/switchargument.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/winapi/security.h"

#include <windows.h>

#include <exception>
#include <iostream>

namespace Tarvio {
namespace {

int32_t notBuiltYet(const char* road) {
    std::cerr << "Error: The " << road << " is not available in this build." << std::endl;
    return 1;
}

int32_t runCommandLineInstallation() {
    if (!WinApi::isUserAdmin()) {
        std::cerr << "Error: Installation must be run from elevated (admin) console." << std::endl;
        return 1;
    }
    return notBuiltYet("command-line installation");
}

int32_t runGraphicalInstallation() {
    if (WinApi::isUserAdmin()) {
        return notBuiltYet("graphical installer");
    }
    if (WinApi::isUacEnabled()) {
        return notBuiltYet("elevated restart");
    }
    std::cerr << "Tarvio installer needs to be run by an administrator." << std::endl;
    return 1;
}

int32_t programEntry() {
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

    // Anything that leaves a road unexpectedly still ends in order, with its message and code 1.
    try {
        return autoInstall.present() ? runCommandLineInstallation() : runGraphicalInstallation();
    } catch (const std::exception& exception) {
        std::cerr << "Error: " << exception.what() << std::endl;
        return 1;
    }
}

} // namespace
} // namespace Tarvio

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return Tarvio::programEntry();
}
