#include "tarviodeploy/shared/previousinstallation.h"

#include "tarviodeploy/shared/databasedirectoryentry.h"
#include "tarviodeploy/shared/databasefileentry.h"
#include "tarviodeploy/shared/databaseregistrykeyentry.h"
#include "tarviodeploy/shared/databaseregistryvalueentry.h"
#include "tarviodeploy/shared/progresscontext.h"
#include "tarviolib/io/filesystem.h"
#include "tarviolib/winapi/registry.h"

namespace Tarvio {

namespace {

namespace Registry = WinApi::Registry;

// The installer records only absolute paths: a relative one (a damaged or edited database) would
// name something in the working folder, so it is passed over.
bool isRemovablePath(const Io::Path& path) {
    return path.isAbsolute();
}

// The error text when the record's item exists and cannot be removed, else empty.
String removeRecord(const DatabaseEntry& record) {
    if (const auto* file = dynamic_cast<const DatabaseFileEntry*>(&record)) {
        if (!isRemovablePath(file->path())) {
            return {};
        }
        if (Io::isFile(file->path()) && !Io::removeFile(file->path())) {
            return "Failed to delete file " + file->path().toNative();
        }
    } else if (const auto* directory = dynamic_cast<const DatabaseDirectoryEntry*>(&record)) {
        if (!isRemovablePath(directory->path())) {
            return {};
        }
        if (Io::isDirectory(directory->path()) && !Io::removeDirectory(directory->path())) {
            return "Failed to delete directory " + directory->path().toNative();
        }
    } else if (const auto* value = dynamic_cast<const DatabaseRegistryValueEntry*>(&record)) {
        if (Registry::valueExists(value->keyPath(), value->valueName()) &&
            !Registry::deleteValue(value->keyPath(), value->valueName())) {
            return "Failed to delete registry value " + value->keyPath() + ":" + value->valueName();
        }
    } else if (const auto* key = dynamic_cast<const DatabaseRegistryKeyEntry*>(&record)) {
        if (Registry::keyExists(key->keyPath()) && !Registry::deleteKey(key->keyPath())) {
            return "Failed to delete registry key " + key->keyPath();
        }
    } else {
        return L"- Unknown entry found in the installation database";
    }
    return {};
}

} // namespace

void removeRecordedInstallation(InstallerLogger& logger, const DatabaseComponentEntry& entry) {
    ProgressContext progress(&logger);
    const ProgressContext::Step step(progress, "Removing previous installation of " + entry.name());
    // Newest first: files go before the folders that hold them, values before their keys.
    const Array<SharedPtr<DatabaseEntry>>& records = entry.entries();
    for (int32_t i = records.size() - 1; i >= 0; --i) {
        const String failure = removeRecord(*records[i]);
        if (!failure.isEmpty()) {
            progress.error(failure);
        }
    }
}

void removePreviousInstallation(InstallerLogger& logger, Database& database, Component& component) {
    const String id = component.id();
    if (const Optional<SharedPtr<DatabaseComponentEntry>> entry = database.find(id)) {
        removeRecordedInstallation(logger, **entry);
        database.removeComponent(id);
    } else {
        component.removeLegacyInstallation();
    }
}

void releaseComponentForReinstall(InstallerLogger& logger, Database& database, Component& component,
                                  const String& productTag) {
    if (const Optional<SharedPtr<DatabaseComponentEntry>> entry = database.find(component.id())) {
        (*entry)->removeTag(productTag);
        if (!(*entry)->tags().isEmpty()) {
            return;
        }
    }
    removePreviousInstallation(logger, database, component);
}

} // namespace Tarvio
