#include "tarviodeploy/installer/plugin3dsmaxcomponent.h"

#include "tarviodeploy/installer/iinstallcontext.h"
#include "tarviodeploy/installer/maxversion.h"
#include "tarviodeploy/shared/legacyinstallation.h"
#include "tarviodeploy/shared/runningapplications.h"
#include "tarviolib/io/filesystem.h"

namespace Tarvio {

namespace {

struct MaxScript {
    const wchar_t* name;
    const wchar_t* version;
};

const MaxScript maxScripts[] = {
    {L"tarvioConverter", L"1.42"},
    {L"tarvioProxyExporter", L"0.07"},
    {L"tarvioScatterLister", L"1.13"},
};

const wchar_t* const toolbarBitmaps[] = {
    L"TarvioOfficialToolbar_16a.bmp",
    L"TarvioOfficialToolbar_16i.bmp",
    L"TarvioOfficialToolbar_24a.bmp",
    L"TarvioOfficialToolbar_24i.bmp",
};

const wchar_t* const obsoleteScripts[] = {
    L"scripts/TarvioRenderer/tarvioConverter_v0.15.ms",
    L"scripts/tarvioConverter_v0.18.ms",
    L"scripts/tarvioConverter_v0.19.ms",
    L"scripts/tarvioConverter_v1.0.ms",
    L"scripts/tarvioConverter_v1.12.ms",
    L"scripts/tarvioConverter_v1.13.ms",
    L"scripts/TarvioRenderer/tarvioConverter_v1.16.ms",
    L"scripts/TarvioRenderer/tarvioConverter_v1.18.ms",
    L"scripts/TarvioRenderer/tarvioConverter_v1.20.ms",
    L"scripts/TarvioRenderer/tarvioConverter_v1.26.ms",
    L"scripts/TarvioProxyExporterStartup.ms",
    L"scripts/startup/TarvioProxyExporterStartup.ms",
    L"scripts/TarvioRenderer/tarvioProxyExporter_v0.02.ms",
    L"scripts/TarvioRenderer/tarvioProxyExporter_v0.03.ms",
    L"scripts/TarvioRenderer/tarvioProxyExporter_v0.04.ms",
};

void removeIfFile(const Io::Path& path) {
    if (Io::isFile(path)) {
        Io::removeFile(path);
    }
}

} // namespace

String Plugin3dsMaxComponent::yearName() const {
    return maxVersionNames.name(static_cast<MaxVersion>(mYear));
}

String Plugin3dsMaxComponent::name() const {
    return "3ds Max " + yearName() + " Plugin";
}

String Plugin3dsMaxComponent::caption() const {
    return "3ds Max " + yearName();
}

String Plugin3dsMaxComponent::id() const {
    return "Max" + yearName();
}

void Plugin3dsMaxComponent::install(IInstallContext& context) {
    unpack(context);
    // The modules of the version this one replaces in the same folder.
    const wchar_t* replacedYear = mYear == 2014 ? L"2013" : mYear == 2016 ? L"2015" : nullptr;
    if (replacedYear != nullptr) {
        context.recordFile(Io::Path("plugins/Tarvio" + String(replacedYear) + ".dlr"));
        context.recordFile(Io::Path("plugins/TarvioUtils" + String(replacedYear) + ".dlt"));
    }
}

void Plugin3dsMaxComponent::unpack(IInstallContext& context) {
    const String year = yearName();
    const Io::Path plugins(L"plugins");
    context.installFile(plugins / ("Tarvio" + year + ".dlr"), Io::Path("TarvioMax_Release-" + year + ".dll"), 0);
    context.installFile(plugins / ("TarvioUtils" + year + ".dlt"), Io::Path("TarvioMaxUtils_Release-" + year + ".dll"),
                        0);
    for (const MaxScript& script : maxScripts) {
        context.installFile(Io::Path("scripts/TarvioRenderer/" + String(script.name) + "_v" + script.version + ".ms"),
                            Io::Path("scripts/" + String(script.name) + ".ms"), 0);
    }
    context.installFile(Io::Path(L"scripts/Startup/TarvioRenderer_InitScripts.ms"),
                        Io::Path(L"scripts/TarvioRenderer_InitScripts.ms"), InstallFileFlags::NotRecorded);
    for (const wchar_t* bitmap : toolbarBitmaps) {
        const Io::Path source = Io::Path(L"toolbar") / bitmap;
        context.installFile(Io::Path(L"UI_ln/Icons") / bitmap, source, 0);
        context.installFile(Io::Path(L"UI_ln/IconsDark") / bitmap, source, 0);
    }
    context.installFile(Io::Path(L"Tarvio_maxHairFur.dll"), Io::Path("maxHairFur/" + year) / "Tarvio_maxHairFur.dll",
                        0);
    context.installRendererLibraries(Io::Path());
}

void Plugin3dsMaxComponent::removeLegacyInstallation() {
    const Io::Path& folder = targetDirectory();
    // Without a 3ds Max folder the names below would be taken relative to the working folder.
    if (!isCleanableFolder(folder)) {
        return;
    }
    for (const wchar_t* script : obsoleteScripts) {
        removeIfFile(folder / script);
    }
    const Io::Path scriptFolder = folder / "scripts/TarvioRenderer";
    if (Io::isDirectory(scriptFolder)) {
        Io::removeDirectory(scriptFolder);
    }
    for (int32_t year = 2010; year <= 2050; ++year) {
        removeIfFile(folder / "plugins" / ("Tarvio" + toString(year) + ".dlr"));
        removeIfFile(folder / "plugins" / ("TarvioUtils" + toString(year) + ".dlt"));
    }
    removeObsoleteLibraries(folder);
}

PrerequisiteIssues Plugin3dsMaxComponent::checkPrerequisites() const {
    return runningApplicationPrerequisites({L"3dsmax.exe"}, L"3ds Max");
}

} // namespace Tarvio
