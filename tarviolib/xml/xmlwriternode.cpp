#include "tarviolib/xml/xmlwriternode.h"

#include "tarviolib/core/array.h"
#include "tarviolib/core/narrowstring.h"

#include <rapidxml.hpp>
#include <rapidxml_print.hpp>

#include <iterator>
#include <string>

namespace Tarvio {

namespace {

using RapidDocument = rapidxml::xml_document<char>;
using RapidNode = rapidxml::xml_node<char>;

struct Utf8Pair : public Object {
    Utf8Pair(const String& name, const String& value) : name(name.toUtf8()), value(value.toUtf8()) {}

    NarrowString name;
    NarrowString value;
};

size_t sizeOf(const NarrowString& text) { return static_cast<size_t>(text.length()); }

} // namespace

struct XmlWriterNode::Impl : public Object {
    Impl(const String& name, const String& value) : element(name, value) {}

    // The printer reads the texts where they are: the tree must outlive the document it builds.
    RapidNode* toRapidXml(RapidDocument& document) const {
        const bool separateText = !children.isEmpty() && !element.value.isEmpty();
        RapidNode* node = document.allocate_node(rapidxml::node_element, element.name.text(),
                                                 separateText ? nullptr : element.value.text(),
                                                 sizeOf(element.name), separateText ? 0 : sizeOf(element.value));
        if (separateText) {
            node->append_node(
                document.allocate_node(rapidxml::node_data, nullptr, element.value.text(), 0, sizeOf(element.value)));
        }
        for (const Utf8Pair& attribute : attributes) {
            node->append_attribute(document.allocate_attribute(attribute.name.text(), attribute.value.text(),
                                                               sizeOf(attribute.name), sizeOf(attribute.value)));
        }
        for (const UniquePtr<XmlWriterNode>& child : children) {
            node->append_node(child->mImpl->toRapidXml(document));
        }
        return node;
    }

    Utf8Pair element;
    Array<Utf8Pair> attributes;
    // Each child on its own block, so that references handed out stay valid as the array grows.
    Array<UniquePtr<XmlWriterNode>> children;
};

XmlWriterNode::XmlWriterNode(const String& name, const String& value) : mImpl(makeUnique<Impl>(name, value)) {}

XmlWriterNode::XmlWriterNode(XmlWriterNode&& other) noexcept = default;
XmlWriterNode& XmlWriterNode::operator=(XmlWriterNode&& other) noexcept = default;
XmlWriterNode::~XmlWriterNode() = default;

XmlWriterNode& XmlWriterNode::addAttribute(const String& name, const String& value) {
    mImpl->attributes.emplace(name, value);
    return *this;
}

XmlWriterNode& XmlWriterNode::addChild(const String& name, const String& value) {
    return *mImpl->children.emplace(makeUnique<XmlWriterNode>(name, value));
}

String XmlWriterNode::toString(bool indent) const {
    // Most of a document is its built-in 64 KiB pool block: keep it off the stack.
    UniquePtr<RapidDocument> document(new RapidDocument());
    document->append_node(mImpl->toRapidXml(*document));
    std::string text;
    rapidxml::print(std::back_inserter(text), *document, indent ? 0 : rapidxml::print_no_indenting);
    return String::fromUtf8(text.c_str());
}

} // namespace Tarvio
