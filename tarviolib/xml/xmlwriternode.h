#pragma once

#include "tarviolib/core/object.h"
#include "tarviolib/core/string.h"
#include "tarviolib/core/uniqueptr.h"

namespace Tarvio {

// An element to be printed as XML, with its attributes, text and children.
class XmlWriterNode : public Object {
public:
    // value may be empty.
    XmlWriterNode(const String& name, const String& value);
    XmlWriterNode(XmlWriterNode&& other) noexcept;
    XmlWriterNode& operator=(XmlWriterNode&& other) noexcept;
    XmlWriterNode(const XmlWriterNode&) = delete;
    XmlWriterNode& operator=(const XmlWriterNode&) = delete;
    ~XmlWriterNode();

    // Kept in call order, duplicates included; answers this node so that calls chain.
    XmlWriterNode& addAttribute(const String& name, const String& value);
    // The new last child; references to earlier children stay valid.
    XmlWriterNode& addChild(const String& name, const String& value);

    // Without declaration or byte-order mark. Indented: one node per line, tabs; otherwise one line.
    String toString(bool indent) const;

private:
    struct Impl;

    UniquePtr<Impl> mImpl;
};

} // namespace Tarvio
