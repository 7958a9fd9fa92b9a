#pragma once

#include "tarviodeploy/shared/databaseentry.h"
#include "tarviolib/core/string.h"

namespace Tarvio {

class DatabaseRegistryKeyEntry : public DatabaseEntry {
public:
    // keyPath: the root's name and the sub-key names joined by "\", as the registry reports it.
    explicit DatabaseRegistryKeyEntry(const String& keyPath) : mKeyPath(keyPath) {}

    const String& keyPath() const { return mKeyPath; }
    void writeXml(XmlWriterNode& parent) const override;

private:
    const String mKeyPath;
};

} // namespace Tarvio
