#pragma once

#include "tarviodeploy/shared/databaseentry.h"
#include "tarviolib/core/string.h"

namespace Tarvio {

class DatabaseRegistryValueEntry : public DatabaseEntry {
public:
    DatabaseRegistryValueEntry(const String& keyPath, const String& valueName)
        : mKeyPath(keyPath), mValueName(valueName) {}

    const String& keyPath() const { return mKeyPath; }
    const String& valueName() const { return mValueName; }
    void writeXml(XmlWriterNode& parent) const override;

private:
    const String mKeyPath;
    const String mValueName;
};

} // namespace Tarvio
