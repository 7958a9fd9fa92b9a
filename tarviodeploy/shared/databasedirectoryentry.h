#pragma once

#include "tarviodeploy/shared/databaseentry.h"
#include "tarviolib/io/path.h"

namespace Tarvio {

class DatabaseDirectoryEntry : public DatabaseEntry {
public:
    // The path as it was reported when the folder was created, with its trailing "/".
    explicit DatabaseDirectoryEntry(const Io::Path& path) : mPath(path) {}

    const Io::Path& path() const { return mPath; }
    void writeXml(XmlWriterNode& parent) const override;

private:
    const Io::Path mPath;
};

} // namespace Tarvio
