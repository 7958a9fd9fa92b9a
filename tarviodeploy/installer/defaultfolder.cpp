#include "tarviodeploy/installer/defaultfolder.h"

#include "tarviolib/winapi/knownfolders.h"

namespace Tarvio {

Io::Path defaultFolder(const Result<Io::Path>& folder) {
    return folder.ok() ? folder.value() : Io::Path();
}

Io::Path sideProgramsFolder() {
    const Result<Io::Path> programFiles = Io::programFiles64Directory();
    return programFiles.ok() ? programFiles.value() / L"Tarvio" : Io::Path();
}

} // namespace Tarvio
