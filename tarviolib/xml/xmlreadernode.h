#pragma once

#include "tarviolib/core/function.h"
#include "tarviolib/core/object.h"
#include "tarviolib/core/string.h"
#include "tarviolib/core/uniqueptr.h"

#include <cstdint>

namespace Tarvio {

// A parsed XML document, or one element of it. The node made from text owns the whole tree: its
// children are the document's top-level elements, and no node may outlive it.
class XmlReaderNode : public Object {
public:
    // Elements nested deeper than this make the document malformed: the parser recurses per level.
    static constexpr int32_t MaxDepth = 256;

    // A malformed document leaves the node empty and writes one debug line; nothing is thrown.
    explicit XmlReaderNode(const String& text);
    XmlReaderNode(XmlReaderNode&& other) noexcept;
    XmlReaderNode& operator=(XmlReaderNode&& other) noexcept;
    XmlReaderNode(const XmlReaderNode&) = delete;
    XmlReaderNode& operator=(const XmlReaderNode&) = delete;
    ~XmlReaderNode();

    // The only operation allowed on an empty node.
    bool isValid() const;

    // The first element child, or null; the root node's first child is the document's root element.
    const XmlReaderNode* children() const;
    void forEachChild(const Function<void(const XmlReaderNode&)>& function) const;

    String name() const;
    // The element's first run of text that holds more than white space; empty when there is none.
    String value() const;
    // The first attribute whose name matches ignoring ASCII letter case; value is left alone when
    // there is none.
    bool attribute(const String& name, String& value) const;

private:
    struct Impl;

    explicit XmlReaderNode(UniquePtr<Impl> impl) noexcept;

    UniquePtr<Impl> mImpl;
};

} // namespace Tarvio
