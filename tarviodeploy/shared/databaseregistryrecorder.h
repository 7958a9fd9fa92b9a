#pragma once

#include "tarviodeploy/shared/database.h"
#include "tarviodeploy/shared/databasecomponententry.h"
#include "tarviolib/core/sharedptr.h"
#include "tarviolib/winapi/registry.h"

namespace Tarvio {

// Records every registry key created and every value written into the entry of the component
// being installed, or into the database's global list while there is none. Deletions are not
// recorded.
class DatabaseRegistryRecorder : public WinApi::Registry::Observer {
public:
    // database may be null: then changes outside a component are not recorded.
    explicit DatabaseRegistryRecorder(Database* database) : mDatabase(database) {}

    void setEntry(const SharedPtr<DatabaseComponentEntry>& entry) { mEntry = entry; }
    const SharedPtr<DatabaseComponentEntry>& entry() const { return mEntry; }

    void onKeyCreated(const String& keyPath) override;
    void onKeyDeleted(const String& keyPath) override;
    void onValueWritten(const String& keyPath, const String& valueName) override;
    void onValueDeleted(const String& keyPath, const String& valueName) override;

private:
    Database* mDatabase;
    SharedPtr<DatabaseComponentEntry> mEntry;
};

} // namespace Tarvio
