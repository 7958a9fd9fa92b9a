#include "tarviodeploy/shared/databasedirectoryentry.h"

#include "tarviolib/xml/xmlwriternode.h"

namespace Tarvio {

void DatabaseDirectoryEntry::writeXml(XmlWriterNode& parent) const {
    parent.addChild(L"Directory", mPath.text());
}

} // namespace Tarvio
