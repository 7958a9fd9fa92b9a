#pragma once

#include "tarviodeploy/shared/database.h"
#include "tarviodeploy/shared/databasecomponententry.h"
#include "tarviodeploy/shared/databasedirectoryentry.h"
#include "tarviodeploy/shared/databasefileentry.h"
#include "tarviodeploy/shared/databaseregistrykeyentry.h"
#include "tarviodeploy/shared/databaseregistryvalueentry.h"

#include <string>

namespace Tarvio {

// A database as text that tests compare whole: one record per line, a component's records
// indented below it, so order, kinds and every field are checked at once.
inline std::string utf8(const String& text) {
    return text.toUtf8().text();
}

inline std::string describe(const DatabaseEntry& entry, const std::string& indent) {
    if (const auto* file = dynamic_cast<const DatabaseFileEntry*>(&entry)) {
        return indent + "File " + utf8(file->path().text()) + "\n";
    }
    if (const auto* directory = dynamic_cast<const DatabaseDirectoryEntry*>(&entry)) {
        return indent + "Directory " + utf8(directory->path().text()) + "\n";
    }
    if (const auto* key = dynamic_cast<const DatabaseRegistryKeyEntry*>(&entry)) {
        return indent + "RegistryKey " + utf8(key->keyPath()) + "\n";
    }
    if (const auto* value = dynamic_cast<const DatabaseRegistryValueEntry*>(&entry)) {
        return indent + "RegistryValue " + utf8(value->keyPath()) + " : " + utf8(value->valueName()) + "\n";
    }
    const auto& component = dynamic_cast<const DatabaseComponentEntry&>(entry);
    std::string text = indent + "Component " + utf8(component.id()) + " name=" + utf8(component.name()) + " tags=[";
    for (int32_t i = 0; i < component.tags().size(); ++i) {
        text += (i > 0 ? "," : "") + utf8(component.tags()[i]);
    }
    text += "] version=" + utf8(component.version()) + (component.corrupted() ? " corrupted" : "") + "\n";
    for (const SharedPtr<DatabaseEntry>& record : component.entries()) {
        text += describe(*record, indent + "  ");
    }
    return text;
}

inline std::string describe(const Database& database) {
    std::string text;
    for (const SharedPtr<DatabaseEntry>& entry : database.entries()) {
        text += describe(*entry, "");
    }
    for (const auto& component : database.components()) {
        text += describe(*component.second, "");
    }
    return text;
}

} // namespace Tarvio
