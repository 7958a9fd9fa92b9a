#include "tarviodeploy/installer/vsredistributablescomponent.h"

#include "tarviodeploy/installer/defaultfolder.h"
#include "tarviodeploy/installer/iinstallcontext.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/core/uniqueptr.h"
#include "tarviolib/winapi/knownfolders.h"
#include "tarviolib/winapi/process.h"

#ifdef TARVIO_TEST_SEAMS
#include "tarviolib/winapi/environment.h"
#endif

#include <chrono>
#include <cstdint>
#include <thread>

namespace Tarvio {

namespace {

const wchar_t* const payloadName = L"vc_redist.2017.x64.exe";
const wchar_t* const payloadFile = L"dependencies/vc_redist.2017.x64.exe";
const wchar_t* const extractedName = L"vc_redist.x64.exe";
constexpr uint32_t waitMilliseconds = 60000;
constexpr std::chrono::milliseconds pauseAfterRun(500);

#ifdef TARVIO_TEST_SEAMS
// Test builds can make the run take a road the real redistributable gives no way to: the
// environment variable TARVIO_TEST_REDIST "short-wait" waits no time at all for the installer,
// "no-handle" acts as if the shell gave no handle of the started program.
bool hasTestRedistTrait(const wchar_t* trait) {
    return WinApi::environmentVariable(L"TARVIO_TEST_REDIST").valueOr(String()) == trait;
}
#endif

uint32_t actualWaitMilliseconds() {
#ifdef TARVIO_TEST_SEAMS
    if (hasTestRedistTrait(L"short-wait")) {
        return 0;
    }
#endif
    return waitMilliseconds;
}

bool canWaitFor(const WinApi::Process& process) {
#ifdef TARVIO_TEST_SEAMS
    if (hasTestRedistTrait(L"no-handle")) {
        return false;
    }
#endif
    return process.handle() != nullptr;
}

} // namespace

VsRedistributablesComponent::VsRedistributablesComponent() {
    setSelected(true);
    setTargetDirectory(defaultFolder(Io::temporaryDirectory()));
}

String VsRedistributablesComponent::name() const {
    return L"Microsoft Dependencies";
}

bool VsRedistributablesComponent::isTracked() const {
    return false;
}

void VsRedistributablesComponent::install(IInstallContext& context) {
    extractAndRun(context);
    // A moment for the redistributable's installer to settle, however its run ended.
    std::this_thread::sleep_for(pauseAfterRun);
}

void VsRedistributablesComponent::unpack(IInstallContext& context) {
    context.installFile(Io::Path(payloadName), Io::Path(payloadFile), 0);
}

void VsRedistributablesComponent::extractAndRun(IInstallContext& context) {
    const String name = extractedName;
    const bool folderFailed = mRunFolder && !mRunFolder->ok();
    if (folderFailed) {
        context.error(mRunFolder->error());
    }
    const Result<Io::Path> extracted =
        folderFailed ? *mRunFolder
                     : context.installFile(mRunFolder ? mRunFolder->value() / name : Io::Path(name),
                                           Io::Path(payloadFile), InstallFileFlags::Temporary);
    if (!extracted.ok()) {
        context.error(L"Failed to extract installer " + name);
        return;
    }
    UniquePtr<WinApi::Process> process;
    try {
        process.reset(new WinApi::Process(extracted.value(), {L"/install", L"/quiet", L"/norestart"},
                                          WinApi::ProcessFlag::RunAsAdministrator | WinApi::ProcessFlag::Detached));
    } catch (const Exception& exception) {
        context.error(L"Failed to run installer " + name + L":");
        context.error(exceptionMessage(exception));
        return;
    }
    // Without a handle nothing was waited for, so no time-out may be claimed.
    if (!canWaitFor(*process)) {
        context.warning(L"Installer " + name + L" was started, but could not be waited for.");
        return;
    }
    if (!process->wait(actualWaitMilliseconds()).hasValue()) {
        context.warning(L"Installer " + name + L" did not finish within " +
                        toString(static_cast<int32_t>(waitMilliseconds / 1000)) + L" seconds.");
    }
}

} // namespace Tarvio
