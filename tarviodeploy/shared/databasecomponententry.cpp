#include "tarviodeploy/shared/databasecomponententry.h"

#include "tarviodeploy/shared/databasedirectoryentry.h"
#include "tarviodeploy/shared/databasefileentry.h"
#include "tarviodeploy/shared/databaseregistrykeyentry.h"
#include "tarviodeploy/shared/databaseregistryvalueentry.h"
#include "tarviolib/core/formatting.h"
#include "tarviolib/xml/xmlwriternode.h"

namespace Tarvio {

DatabaseComponentEntry::DatabaseComponentEntry(const String& id, const String& name, const String& version,
                                               const Array<String>& tags)
    : mId(id), mName(name), mVersion(version) {
    addTags(tags);
}

void DatabaseComponentEntry::addDirectory(const Io::Path& path) {
    addEntry(makeShared<DatabaseDirectoryEntry>(path));
}

void DatabaseComponentEntry::addFile(const Io::Path& path) {
    addEntry(makeShared<DatabaseFileEntry>(path));
}

void DatabaseComponentEntry::addRegistryKey(const String& keyPath) {
    addEntry(makeShared<DatabaseRegistryKeyEntry>(keyPath));
}

void DatabaseComponentEntry::addRegistryValue(const String& keyPath, const String& valueName) {
    addEntry(makeShared<DatabaseRegistryValueEntry>(keyPath, valueName));
}

void DatabaseComponentEntry::addEntry(const SharedPtr<DatabaseEntry>& entry) {
    mEntries.append(entry);
}

void DatabaseComponentEntry::addTag(const String& tag) {
    for (const String& held : mTags) {
        if (held == tag) {
            return;
        }
    }
    mTags.append(tag);
}

void DatabaseComponentEntry::addTags(const Array<String>& tags) {
    for (const String& tag : tags) {
        addTag(tag);
    }
}

void DatabaseComponentEntry::removeTag(const String& tag) {
    Array<String> kept;
    bool removed = false;
    for (const String& held : mTags) {
        if (!removed && held == tag) {
            removed = true;
        } else {
            kept.append(held);
        }
    }
    mTags.swap(kept);
}

void DatabaseComponentEntry::writeXml(XmlWriterNode& parent) const {
    XmlWriterNode& element = parent.addChild(L"Component", String());
    element.addAttribute(L"id", mId)
        .addAttribute(L"name", mName)
        .addAttribute(L"tags", join(mTags, L" ", L" "))
        .addAttribute(L"version", mVersion)
        .addAttribute(L"corrupted", mCorrupted ? L"1" : L"0");
    for (const SharedPtr<DatabaseEntry>& entry : mEntries) {
        entry->writeXml(element);
    }
}

} // namespace Tarvio
