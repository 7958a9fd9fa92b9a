#include "tarviodeploy/shared/database.h"

#include "tarviodeploy/shared/databasedirectoryentry.h"
#include "tarviodeploy/shared/databasefileentry.h"
#include "tarviodeploy/shared/databaseregistrykeyentry.h"
#include "tarviodeploy/shared/databaseregistryvalueentry.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/core/outofmemory.h"
#include "tarviolib/io/filestream.h"
#include "tarviolib/io/memoryinputstream.h"
#include "tarviolib/io/textreading.h"
#include "tarviolib/io/textstream.h"
#include "tarviolib/xml/xmlreadernode.h"
#include "tarviolib/xml/xmlwriternode.h"

#include <exception>
#include <locale>
#include <sstream>
#include <string>

namespace Tarvio {

namespace {

// Read the way a stream extraction reads them: leading white space skipped, anything after the
// value ignored. False when the text yields no value.
template <typename T>
bool extract(const String& text, T& value) {
    std::wistringstream stream(std::wstring(text.begin(), text.end()));
    stream.imbue(std::locale::classic());
    stream >> value;
    return !stream.fail();
}

String attributeOrEmpty(const XmlReaderNode& element, const wchar_t* name) {
    String value;
    element.attribute(name, value);
    return value;
}

// Empty texts between blanks are no tags: an entry saved once without tags would otherwise carry an empty tag
// for ever, and no product could release it again.
Array<String> readTags(const XmlReaderNode& element) {
    return attributeOrEmpty(element, L"tags").split(L" ", true);
}

bool readCorrupted(const XmlReaderNode& element) {
    String text;
    if (!element.attribute(L"corrupted", text)) {
        return false;
    }
    bool corrupted = true;
    return extract(text, corrupted) ? corrupted : true;
}

SharedPtr<DatabaseEntry> buildRecord(const XmlReaderNode& element);

SharedPtr<DatabaseComponentEntry> buildComponent(const XmlReaderNode& element) {
    auto component = makeShared<DatabaseComponentEntry>(attributeOrEmpty(element, L"id"),
                                                        attributeOrEmpty(element, L"name"),
                                                        attributeOrEmpty(element, L"version"), readTags(element));
    component->setCorrupted(readCorrupted(element));
    element.forEachChild([&](const XmlReaderNode& child) {
        if (SharedPtr<DatabaseEntry> record = buildRecord(child)) {
            component->addEntry(record);
        }
    });
    return component;
}

// Empty for an element that is no record.
SharedPtr<DatabaseEntry> buildRecord(const XmlReaderNode& element) {
    const String name = element.name();
    if (name == "File") {
        return makeShared<DatabaseFileEntry>(Io::Path(element.value()));
    }
    if (name == "Directory") {
        return makeShared<DatabaseDirectoryEntry>(Io::Path(element.value()));
    }
    if (name == "RegistryKey") {
        return makeShared<DatabaseRegistryKeyEntry>(element.value());
    }
    if (name == "RegistryValue") {
        String keyPath;
        if (!element.attribute(L"keyPath", keyPath)) {
            return {};
        }
        return makeShared<DatabaseRegistryValueEntry>(keyPath, element.value());
    }
    if (name == "Component") {
        return buildComponent(element);
    }
    return {};
}

} // namespace

SharedPtr<DatabaseComponentEntry> Database::createComponent(const String& id, const String& name,
                                                            const String& version) {
    auto component = makeShared<DatabaseComponentEntry>(id, name, version, Array<String>());
    storeComponent(component);
    return component;
}

Optional<SharedPtr<DatabaseComponentEntry>> Database::find(const String& id) const {
    const auto found = mComponents.find(id);
    if (found == mComponents.end()) {
        return {};
    }
    return found->second;
}

bool Database::contains(const String& id) const {
    return mComponents.count(id) != 0;
}

void Database::storeComponent(const SharedPtr<DatabaseComponentEntry>& component) {
    mComponents[component->id()] = component;
}

void Database::removeComponent(const String& id) {
    mComponents.erase(id);
}

void Database::addFile(const Io::Path& path) {
    addEntry(makeShared<DatabaseFileEntry>(path));
}

void Database::addRegistryKey(const String& keyPath) {
    addEntry(makeShared<DatabaseRegistryKeyEntry>(keyPath));
}

void Database::addRegistryValue(const String& keyPath, const String& valueName) {
    addEntry(makeShared<DatabaseRegistryValueEntry>(keyPath, valueName));
}

void Database::addEntry(const SharedPtr<DatabaseEntry>& entry) {
    mEntries.append(entry);
}

DatabaseLoadResult Database::load(const Io::Path& path) {
    // A file that cannot be opened or read throws: taken for damage, it would be replaced at the
    // end of the run and the uninstaller's records lost. Only the bytes read can be damaged: text
    // that is not UTF-8 (another byte-order mark) is, like any other damage, no reason to stop.
    Io::FileInputStream file(path);
    const Array<char> bytes = Io::readAllChars8(file, 0);
    String text;
    try {
        TextInputStream stream(makeUnique<Io::MemoryInputStream>(bytes.data(), bytes.size() - 1), TextEncoding::Utf8,
                               TextInputFlag::ConvertNewlines);
        text = stream.readAll();
    } catch (const Exception&) {
        DatabaseLoadResult result;
        result.failed = true;
        result.database = makeUnique<Database>();
        return result;
    }
    return parse(text);
}

DatabaseLoadResult Database::parse(const String& text) {
    DatabaseLoadResult result;
    result.database = makeUnique<Database>();
    try {
        const XmlReaderNode document(text);
        if (!document.isValid()) {
            result.failed = true;
            return result;
        }
        const XmlReaderNode* root = document.children();
        if (root != nullptr && root->name() == "Database") {
            result.failed = result.database->readRoot(*root);
        }
    } catch (const std::exception&) {
        rethrowOutOfMemory(); // says nothing about the file
        result.failed = true;
    }
    return result;
}

bool Database::readRoot(const XmlReaderNode& root) {
    bool failed = false;
    String versionText;
    if (root.attribute(L"version", versionText)) {
        int32_t number = 0;
        if (extract(versionText, number) && number == 1) {
            mVersion = 1;
        } else {
            failed = true;
        }
    }
    root.forEachChild([&](const XmlReaderNode& element) {
        if (element.name() == "Component") {
            storeComponent(buildComponent(element));
        } else if (const SharedPtr<DatabaseEntry> record = buildRecord(element)) {
            addEntry(record);
        } else {
            failed = true;
        }
    });
    return failed;
}

String Database::save() const {
    XmlWriterNode root(L"Database", String());
    root.addAttribute(L"version", L"1");
    for (const SharedPtr<DatabaseEntry>& entry : mEntries) {
        entry->writeXml(root);
    }
    for (const auto& component : mComponents) {
        component.second->writeXml(root);
    }
    return root.toString(true);
}

} // namespace Tarvio
