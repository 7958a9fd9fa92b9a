#include "tarviolib/xml/xmlreadernode.h"

#include "tarviolib/core/array.h"
#include "tarviolib/core/debugoutput.h"

#include <rapidxml.hpp>

#include <cstring>
#include <sstream>

namespace Tarvio {

namespace {

using RapidNode = rapidxml::xml_node<char>;
using Lookup = rapidxml::internal::lookup_tables<0>;

// The parser's own character classes, so that the depth check reads the text as the parser does.
bool isWhitespace(char c) { return Lookup::lookup_whitespace[static_cast<unsigned char>(c)] != 0; }
bool isNodeNameChar(char c) { return Lookup::lookup_node_name[static_cast<unsigned char>(c)] != 0; }
bool isAttributeNameChar(char c) { return Lookup::lookup_attribute_name[static_cast<unsigned char>(c)] != 0; }

void skipWhitespace(const char*& p) {
    while (isWhitespace(*p)) {
        ++p;
    }
}

void skipNodeName(const char*& p) {
    while (isNodeNameChar(*p)) {
        ++p;
    }
}

// Moves p past terminator; false at the end of the text.
bool skipPast(const char*& p, const char* terminator) {
    const char* end = std::strstr(p, terminator);
    if (!end) {
        return false;
    }
    p = end + std::strlen(terminator);
    return true;
}

bool startsWith(const char* p, const char* prefix) { return std::strncmp(p, prefix, std::strlen(prefix)) == 0; }

// Moves p past the '>' of a document type; like the parser, skips nested brackets and nothing else.
bool skipDoctype(const char*& p) {
    int32_t brackets = 0;
    for (; brackets > 0 || *p != '>'; ++p) {
        if (*p == '\0') {
            return false;
        }
        brackets += *p == '[' ? 1 : *p == ']' && brackets > 0 ? -1 : 0;
    }
    ++p;
    return true;
}

enum class TagKind { Opening, Closing, Other, Malformed };

// Reads an element's opening tag after its '<'.
TagKind readElementTag(const char*& p) {
    const char* name = p;
    skipNodeName(p);
    if (p == name) {
        return TagKind::Malformed;
    }
    skipWhitespace(p);
    while (isAttributeNameChar(*p)) {
        while (isAttributeNameChar(*p)) {
            ++p;
        }
        skipWhitespace(p);
        if (*p != '=') {
            return TagKind::Malformed;
        }
        ++p;
        skipWhitespace(p);
        const char quote = *p;
        if (quote != '\'' && quote != '"') {
            return TagKind::Malformed;
        }
        const char* closingQuote = std::strchr(p + 1, quote);
        if (!closingQuote) {
            return TagKind::Malformed;
        }
        p = closingQuote + 1;
        skipWhitespace(p);
    }
    if (*p == '>') {
        ++p;
        return TagKind::Opening;
    }
    if (p[0] == '/' && p[1] == '>') {
        p += 2;
        return TagKind::Other;
    }
    return TagKind::Malformed;
}

// Reads one tag or other markup after its '<' and moves p past it. Malformed stops the check
// where the parser, too, stops with an error.
TagKind readTag(const char*& p) {
    if (*p == '/') {
        ++p;
        skipNodeName(p);
        skipWhitespace(p);
        if (*p != '>') {
            return TagKind::Malformed;
        }
        ++p;
        return TagKind::Closing;
    }
    // Like the parser, search each terminator only after the whole opening: "<!-->" opens a comment.
    bool closed = true;
    if (*p == '?') {
        ++p;
        closed = skipPast(p, "?>");
    } else if (startsWith(p, "!--")) {
        p += 3;
        closed = skipPast(p, "-->");
    } else if (startsWith(p, "![CDATA[")) {
        p += 8;
        closed = skipPast(p, "]]>");
    } else if (startsWith(p, "!DOCTYPE") && isWhitespace(p[8])) {
        p += 9;
        closed = skipDoctype(p);
    } else if (*p == '!') {
        ++p;
        closed = skipPast(p, ">");
    } else {
        return readElementTag(p);
    }
    return closed ? TagKind::Other : TagKind::Malformed;
}

// rapidxml recurses once per element level, so untrusted text could exhaust the stack: refuse
// deeper nesting before it parses. Text between tags cannot hold a '<' the parser would skip.
void checkNestingDepth(const char* text) {
    const char* p = text;
    int32_t depth = 0;
    while ((p = std::strchr(p, '<')) != nullptr) {
        ++p;
        switch (readTag(p)) {
        case TagKind::Opening:
            if (++depth > XmlReaderNode::MaxDepth) {
                throw rapidxml::parse_error("elements nested too deeply", const_cast<char*>(p));
            }
            break;
        case TagKind::Closing:
            if (--depth < 0) {
                return;
            }
            break;
        case TagKind::Other:
            break;
        case TagKind::Malformed:
            return;
        }
    }
}

void logParseError(const rapidxml::parse_error& error) {
    const char* position = error.where<char>();
    std::wostringstream stream;
    stream << L"rapidxml error at " << L' ' << String::fromUtf8(position ? position : "") << L' ' << L": " << L' '
           << error.what();
    debugOutput(stream);
}

// The parser works in place: every name and value of the tree points into text.
struct XmlDocument : public Object {
    Array<char> text;
    rapidxml::xml_document<char> tree;
};

} // namespace

struct XmlReaderNode::Impl : public Object {
    explicit Impl(RapidNode* node) : node(node) {}

    UniquePtr<XmlDocument> document; // the root node's only
    Array<XmlReaderNode> children;
    RapidNode* node;

    void buildChildren() {
        for (RapidNode* child = node->first_node(); child; child = child->next_sibling()) {
            if (child->type() == rapidxml::node_element) {
                UniquePtr<Impl> impl = makeUnique<Impl>(child);
                impl->buildChildren();
                children.append(XmlReaderNode(std::move(impl)));
            }
        }
    }
};

XmlReaderNode::XmlReaderNode(const String& text) {
    UniquePtr<XmlDocument> document = makeUnique<XmlDocument>();
    const NarrowString utf8 = text.toUtf8();
    document->text.resize(utf8.length() + 1);
    std::memcpy(document->text.data(), utf8.text(), static_cast<size_t>(utf8.length()));
    try {
        checkNestingDepth(document->text.data());
        document->tree.parse<0>(document->text.data());
    } catch (const rapidxml::parse_error& error) {
        logParseError(error);
        return;
    }
    mImpl = makeUnique<Impl>(&document->tree);
    mImpl->document = std::move(document);
    mImpl->buildChildren();
}

XmlReaderNode::XmlReaderNode(UniquePtr<Impl> impl) noexcept : mImpl(std::move(impl)) {}

XmlReaderNode::XmlReaderNode(XmlReaderNode&& other) noexcept = default;
XmlReaderNode& XmlReaderNode::operator=(XmlReaderNode&& other) noexcept = default;
XmlReaderNode::~XmlReaderNode() = default;

bool XmlReaderNode::isValid() const { return static_cast<bool>(mImpl); }

const XmlReaderNode* XmlReaderNode::children() const {
    return mImpl->children.isEmpty() ? nullptr : mImpl->children.data();
}

void XmlReaderNode::forEachChild(const Function<void(const XmlReaderNode&)>& function) const {
    for (const XmlReaderNode& child : mImpl->children) {
        function(child);
    }
}

String XmlReaderNode::name() const { return String::fromUtf8(mImpl->node->name()); }

String XmlReaderNode::value() const { return String::fromUtf8(mImpl->node->value()); }

bool XmlReaderNode::attribute(const String& name, String& value) const {
    const NarrowString utf8 = name.toUtf8();
    if (utf8.isEmpty()) {
        return false; // the parser would read a zero length as "measure up to the NUL"
    }
    const rapidxml::xml_attribute<char>* found =
        mImpl->node->first_attribute(utf8.text(), static_cast<size_t>(utf8.length()), false);
    if (!found) {
        return false;
    }
    value = String::fromUtf8(found->value());
    return true;
}

} // namespace Tarvio
