#pragma once

#include "tarviodeploy/installer/sideprogramcomponent.h"

namespace Tarvio {

// The image editor: a command-line and a window program.
class ImageEditorComponent : public SideProgramComponent {
public:
    ImageEditorComponent();

    String name() const override;
    // The programs, then the "kxr" and "kexr" associations and the desktop shortcut, all of the
    // window program; a shortcut that cannot be made is a warning.
    void install(IInstallContext& context) override;
    void unpack(IInstallContext& context) override;

private:
    // The window program's path, or why it was not installed.
    static Result<Io::Path> installFiles(IInstallContext& context);
};

} // namespace Tarvio
