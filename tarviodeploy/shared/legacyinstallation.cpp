#include "tarviodeploy/shared/legacyinstallation.h"

#include "tarviolib/core/optional.h"
#include "tarviolib/io/filesystem.h"
#include "tarviolib/winapi/registry.h"

namespace Tarvio {

namespace {

void removeFileIfPresent(const Io::Path& file) {
    if (Io::isFile(file)) {
        Io::removeFile(file);
    }
}

} // namespace

const LegacySideProgram legacyDrServer = {L"DrServerInstallPath", {L"DrServer.exe", nullptr}, false};
const LegacySideProgram legacyLicensingServer = {
    L"LicensingServerPath", {L"LicensingServer.exe", L"LicensingServerLog.txt"}, false};
const LegacySideProgram legacyStandalone = {
    L"StandaloneInstallPath", {L"Tarvio.exe", L"TarvioStandalone_log.txt"}, true};

bool isCleanableFolder(const Io::Path& folder) {
    return !folder.isEmpty() && folder.isAbsolute();
}

void removeLegacySideProgram(const LegacySideProgram& program, const String& keyPath) {
    const Optional<String> folderText = WinApi::Registry::readString(keyPath, program.valueName);
    if (!folderText) {
        return;
    }
    const Io::Path folder(*folderText);
    // A folder that is not cleanable keeps its files; the value goes all the same, or the
    // clean-up would come back on every run.
    if (isCleanableFolder(folder)) {
        for (const wchar_t* name : program.fileNames) {
            if (name != nullptr) {
                removeFileIfPresent(folder / name);
            }
        }
        // Only an empty folder goes: anything of the user's keeps it.
        if (Io::isDirectory(folder)) {
            Io::removeDirectory(folder);
        }
    }
    if (program.keepsValue) {
        removeObsoleteLibraries(folder);
    } else {
        WinApi::Registry::deleteValue(keyPath, program.valueName);
    }
}

void removeObsoleteLibraries(const Io::Path& folder) {
    static const wchar_t* const libraries[] = {
        L"TarvioOepnExr.dll",          L"TarvioOpenExr2.dll",          L"TarvioOpenExr2.0.dll",
        L"TarvioOpenExr2-v140-x64-Release.dll", L"wxbase294u_vc_custom.dll", L"wxmsw294u_core_vc_custom.dll",
        L"wxmsw294u_gl_vc_custom.dll", L"wxmsw295u_vc_tarvio.dll",     L"wxmsw30u_vc_tarvio.dll",
        L"wxmsw30u_gl_vc_tarvio.dll",  L"wxmsw302u_v140_tarvio.dll",   L"wxmsw310u_vc_tarvio.dll",
        L"Tarvio_Assert.dll",          L"TarvioLib_Assert.dll",        L"Tarvio_Release.dll",
        L"TarvioLib_Release.dll",
    };
    if (!isCleanableFolder(folder)) {
        return;
    }
    for (const wchar_t* library : libraries) {
        removeFileIfPresent(folder / library);
    }
}

} // namespace Tarvio
