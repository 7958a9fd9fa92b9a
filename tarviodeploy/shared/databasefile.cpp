#include "tarviodeploy/shared/databasefile.h"

#include "tarviodeploy/shared/progresscontext.h"
#include "tarviolib/core/outofmemory.h"
#include "tarviolib/io/fileaccessexception.h"
#include "tarviolib/io/filesystem.h"
#include "tarviolib/io/textstream.h"

#include <exception>

namespace Tarvio {

namespace {

bool copyAside(const Io::Path& path, const Io::Path& copy) {
    try {
        return Io::copyFile(path, copy, true);
    } catch (const std::exception&) {
        rethrowOutOfMemory();
        return false;
    }
}

} // namespace

UniquePtr<Database> loadInstallDatabase(const Io::Path& path, DeploymentUserInterface& ui) {
    if (!Io::isFile(path)) {
        return makeUnique<Database>();
    }
    DatabaseLoadResult loaded = Database::load(path);
    if (loaded.failed) {
        // The copy is made before anything can write the database again: it is what support needs.
        const Io::Path copy = path.parent() / CorruptedDatabaseFileName;
        const Io::Path reported = copyAside(path, copy) ? copy : path;
        ui.error("Installation database failed to load.\n\nSome of the previously installed components may not be "
                 "properly uninstalled. Please contact Tarvio technical support and attach the following file to "
                 "your issue report:\n\n" +
                 reported.toNative());
    }
    return std::move(loaded.database);
}

void writeInstallDatabase(InstallerLogger& logger, const Database& database, const Io::Path& path) {
    ProgressContext progress(&logger);
    const ProgressContext::Step step(progress, L"Writing installation database");
    // Written beside the database and then moved over it, so that a failed write never leaves the
    // uninstaller a truncated database.
    const Io::Path written(path.text() + ".new");
    try {
        TextOutputStream stream(written, TextEncoding::Utf8, TextOutputFlag::Overwrite);
        stream.write(database.save());
        stream.close();
    } catch (...) {
        // The stream is closed by now; half a database must not stay beside the whole one.
        Io::removeFile(written);
        throw;
    }
    if (!Io::moveFile(written, path, true)) {
        Io::removeFile(written);
        throw fileAccessException(path);
    }
}

} // namespace Tarvio
