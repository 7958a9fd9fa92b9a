#pragma once

#include "tarviodeploy/shared/databaseentry.h"
#include "tarviolib/io/path.h"

namespace Tarvio {

class DatabaseFileEntry : public DatabaseEntry {
public:
    explicit DatabaseFileEntry(const Io::Path& path) : mPath(path) {}

    const Io::Path& path() const { return mPath; }
    void writeXml(XmlWriterNode& parent) const override;

private:
    const Io::Path mPath;
};

} // namespace Tarvio
