#include "tarviodeploy/shared/databaseregistryvalueentry.h"

#include "tarviolib/xml/xmlwriternode.h"

namespace Tarvio {

void DatabaseRegistryValueEntry::writeXml(XmlWriterNode& parent) const {
    parent.addChild(L"RegistryValue", mValueName).addAttribute(L"keyPath", mKeyPath);
}

} // namespace Tarvio
