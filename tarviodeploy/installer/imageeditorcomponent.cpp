#include "tarviodeploy/installer/imageeditorcomponent.h"

#include "tarviodeploy/installer/fileassociation.h"
#include "tarviodeploy/installer/iinstallcontext.h"
#include "tarviolib/winapi/knownfolders.h"
#include "tarviolib/winapi/shortcut.h"

namespace Tarvio {

namespace {

// The link file on the desktop.
Result<Io::Path> createDesktopShortcut(const Io::Path& program) {
    const Result<Io::Path> desktop = Io::desktopDirectory();
    if (!desktop.ok()) {
        return desktop;
    }
    return WinApi::createShortcut(program, desktop.value() / L"Tarvio Image Editor",
                                  L"Tarvio Image Editor version 2");
}

} // namespace

ImageEditorComponent::ImageEditorComponent()
    : SideProgramComponent(true, {L"TarvioImage.exe", L"TarvioImageCmd.exe"}, nullptr) {}

String ImageEditorComponent::name() const {
    return L"Image Editor";
}

void ImageEditorComponent::install(IInstallContext& context) {
    const Result<Io::Path> program = installFiles(context);
    if (!program.ok()) {
        return; // the context has reported it
    }
    registerFileAssociation(L"TarvioImageEditor", program.value(), L"kxr");
    registerFileAssociation(L"TarvioImageEditor", program.value(), L"kexr");
    const Result<Io::Path> shortcut = createDesktopShortcut(program.value());
    if (shortcut.ok()) {
        context.recordFile(shortcut.value());
    } else {
        context.warning(L"Failed to create desktop shortcut: " + shortcut.error());
    }
}

void ImageEditorComponent::unpack(IInstallContext& context) {
    installFiles(context);
}

Result<Io::Path> ImageEditorComponent::installFiles(IInstallContext& context) {
    installProgram(context, L"TarvioImageCmd.exe", L"TarvioImageEditor.Cli_x64_Release.exe");
    return installProgram(context, L"TarvioImage.exe", L"TarvioImageEditor.Gui_x64_Release.exe");
}

} // namespace Tarvio
