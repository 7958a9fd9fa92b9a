#pragma once

#include "tarviodeploy/shared/databasecomponententry.h"
#include "tarviodeploy/shared/databaseentry.h"
#include "tarviolib/core/array.h"
#include "tarviolib/core/object.h"
#include "tarviolib/core/optional.h"
#include "tarviolib/core/sharedptr.h"
#include "tarviolib/core/string.h"
#include "tarviolib/core/uniqueptr.h"
#include "tarviolib/io/path.h"

#include <cstdint>
#include <map>

namespace Tarvio {

class Database;
class XmlReaderNode;

struct DatabaseLoadResult {
    // Not well-formed, another version, an unknown element under the root, or an exception while
    // parsing. The database then holds what could be read.
    bool failed = false;
    UniquePtr<Database> database;
};

// What installations put on the machine, per component and globally: the file "TarvioRemove.xml"
// that the installer keeps and the uninstaller reads.
class Database : public Noncopyable {
public:
    using ComponentMap = std::map<String, SharedPtr<DatabaseComponentEntry>>;

    // A new entry without tags, flagged corrupted, replacing any entry of that id.
    SharedPtr<DatabaseComponentEntry> createComponent(const String& id, const String& name, const String& version);
    Optional<SharedPtr<DatabaseComponentEntry>> find(const String& id) const;
    bool contains(const String& id) const;
    // Under the entry's id, replacing any entry of that id.
    void storeComponent(const SharedPtr<DatabaseComponentEntry>& component);
    void removeComponent(const String& id);

    // Global records, outside any component; appended without looking for duplicates.
    void addFile(const Io::Path& path);
    void addRegistryKey(const String& keyPath);
    void addRegistryValue(const String& keyPath, const String& valueName);
    void addEntry(const SharedPtr<DatabaseEntry>& entry);

    // Ordered by id.
    const ComponentMap& components() const { return mComponents; }
    const Array<SharedPtr<DatabaseEntry>>& entries() const { return mEntries; }
    // 1 after loading a file of version 1, else 0.
    int32_t version() const { return mVersion; }

    // Reads the file as UTF-8 text; a file that cannot be opened or read throws.
    static DatabaseLoadResult load(const Io::Path& path);
    static DatabaseLoadResult parse(const String& text);
    // The XML text: version 1, global records first, then the components in id order.
    String save() const;

private:
    // Answers whether what the root holds fails the load; what could be read is kept.
    bool readRoot(const XmlReaderNode& root);

    ComponentMap mComponents;
    Array<SharedPtr<DatabaseEntry>> mEntries;
    int32_t mVersion = 0;
};

} // namespace Tarvio
