#pragma once

#include "tarviolib/core/object.h"
#include "tarviolib/core/result.h"
#include "tarviolib/core/string.h"
#include "tarviolib/io/path.h"

#include <cstdint>

namespace Tarvio {

// The bits of the flags of IInstallContext::installFile and installDirectory.
namespace InstallFileFlags {
// Extracted for use during the installation and deleted at its end; not recorded.
constexpr uint32_t Temporary = 1;
// Installed but left out of the component's install database entry.
constexpr uint32_t NotRecorded = 2;
} // namespace InstallFileFlags

// The engine's services to a component while it installs or unpacks: payload files, recording in
// the install database, registry values, additional installer data and the log. Failures are
// reported to the log and answered by the result; nothing here throws for them.
class IInstallContext : public Polymorphic {
public:
    // Adds the pack of additional installer data named fileName to the payload: the file of that
    // name in the working folder when there is one, else the download from the installer web
    // server. False after a reported failure.
    virtual bool downloadAdditionalData(const String& fileName) = 0;
    // The remote file's ETag exactly as the server sends it; an error when there is a local file of
    // that name or the server gives none. Reports nothing.
    virtual Result<String> remoteVersion(const String& fileName) = 0;
    // The folder of the component being installed.
    virtual const Io::Path& targetDirectory() const = 0;
    // Records a file as the component's without installing it; a relative path is taken
    // under the component's folder.
    virtual void recordFile(const Io::Path& path) = 0;
    // Writes the payload file source to destination (relative: under the component's folder, and
    // refused as a failed file when it would lead outside it); answers the written file's absolute
    // path.
    virtual Result<Io::Path> installFile(const Io::Path& destination, const Io::Path& source, uint32_t flags) = 0;
    // Every payload file below sourceDirectory, at the same relative place below destination; a
    // name that would lead outside destination is a failed file.
    virtual void installDirectory(const Io::Path& destination, const Io::Path& sourceDirectory, uint32_t flags) = 0;
    // The shared libraries of the renderer's programs; true when all of them were installed.
    virtual bool installRendererLibraries(const Io::Path& directory) = 0;
    // The key is created when it does not exist; false when it can be neither opened nor created,
    // or the value not written.
    virtual bool writeRegistryDword(const String& keyPath, const String& valueName, uint32_t value) = 0;
    // Writes the path with backslashes.
    virtual bool writeRegistryPath(const String& keyPath, const String& valueName, const Io::Path& value) = 0;
    virtual bool writeRegistryString(const String& keyPath, const String& valueName, const String& value) = 0;
    virtual void info(const String& text) = 0;
    virtual void warning(const String& text) = 0;
    virtual void error(const String& text) = 0;
};

} // namespace Tarvio
