// The XML reader over arbitrary text: parsing, then a walk of the whole tree with every query, and
// a print of what was read. A malformed document is an answer; only a crash, a leak, undefined
// behaviour, a hang or a tree nested deeper than the reader allows is a finding.

#include "tarviolib/core/string.h"
#include "tarviolib/xml/xmlreadernode.h"
#include "tarviolib/xml/xmlwriternode.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using Tarvio::String;
using Tarvio::XmlReaderNode;
using Tarvio::XmlWriterNode;

void copyInto(const XmlReaderNode& node, XmlWriterNode& copy, int32_t depth) {
    if (depth > XmlReaderNode::MaxDepth) {
        std::abort();
    }
    String value;
    for (const char* name : {"version", "NAME", "path", ""}) {
        if (node.attribute(name, value)) {
            copy.addAttribute(name, value);
        }
    }
    node.forEachChild([&copy, depth](const XmlReaderNode& child) {
        copyInto(child, copy.addChild(child.name(), child.value()), depth + 1);
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // UTF-8 as the reader's callers decode it: ill-formed bytes become U+FFFD, a NUL ends the text.
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const XmlReaderNode document(String::fromUtf8(bytes.c_str()));
    if (!document.isValid()) {
        return 0;
    }
    XmlWriterNode copy("document", "");
    copyInto(document, copy, 0);
    copy.toString(true);
    copy.toString(false);
    return 0;
}
