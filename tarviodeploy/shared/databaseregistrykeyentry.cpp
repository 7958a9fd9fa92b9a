#include "tarviodeploy/shared/databaseregistrykeyentry.h"

#include "tarviolib/xml/xmlwriternode.h"

namespace Tarvio {

void DatabaseRegistryKeyEntry::writeXml(XmlWriterNode& parent) const {
    parent.addChild(L"RegistryKey", mKeyPath);
}

} // namespace Tarvio
