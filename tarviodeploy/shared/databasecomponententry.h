#pragma once

#include "tarviodeploy/shared/databaseentry.h"
#include "tarviolib/core/array.h"
#include "tarviolib/core/sharedptr.h"
#include "tarviolib/core/string.h"
#include "tarviolib/io/path.h"

namespace Tarvio {

// What one component's installation created, in the order it was recorded, with the products
// that hold the installation (tags).
class DatabaseComponentEntry : public DatabaseEntry {
public:
    // Starts corrupted: the install flow clears the flag once the installation has finished.
    DatabaseComponentEntry(const String& id, const String& name, const String& version, const Array<String>& tags);

    // The add functions append without looking for duplicates.
    void addDirectory(const Io::Path& path);
    void addFile(const Io::Path& path);
    void addRegistryKey(const String& keyPath);
    void addRegistryValue(const String& keyPath, const String& valueName);
    void addEntry(const SharedPtr<DatabaseEntry>& entry);

    // Only a tag not held yet is added.
    void addTag(const String& tag);
    void addTags(const Array<String>& tags);
    // The first equal tag goes; the rest keep their order.
    void removeTag(const String& tag);

    const String& id() const { return mId; }
    // The component's name when the entry was made.
    const String& name() const { return mName; }
    const Array<SharedPtr<DatabaseEntry>>& entries() const { return mEntries; }
    const Array<String>& tags() const { return mTags; }
    const String& version() const { return mVersion; }
    bool corrupted() const { return mCorrupted; }
    void setCorrupted(bool corrupted) { mCorrupted = corrupted; }

    void writeXml(XmlWriterNode& parent) const override;

private:
    String mId;
    String mName;
    Array<SharedPtr<DatabaseEntry>> mEntries;
    Array<String> mTags;
    String mVersion;
    bool mCorrupted = true;
};

} // namespace Tarvio
