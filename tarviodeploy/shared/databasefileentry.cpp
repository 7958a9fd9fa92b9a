#include "tarviodeploy/shared/databasefileentry.h"

#include "tarviolib/xml/xmlwriternode.h"

namespace Tarvio {

void DatabaseFileEntry::writeXml(XmlWriterNode& parent) const {
    parent.addChild(L"File", mPath.text());
}

} // namespace Tarvio
