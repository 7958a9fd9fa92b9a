#pragma once

#include "tarviolib/core/object.h"

namespace Tarvio {

class XmlWriterNode;

// One thing an installation created, as the install database records it. Records never change
// once made, except a component's entry.
class DatabaseEntry : public Polymorphic {
public:
    // Appends the record's element to parent.
    virtual void writeXml(XmlWriterNode& parent) const = 0;
};

} // namespace Tarvio
