#include "tarviolib/xml/xmlreadernode.h"

#include "tarviolib/core/debugoutput.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Tarvio {
namespace {

class XmlReaderNodeTest : public testing::Test {
protected:
    void SetUp() override {
        Detail::overrideDebugOutput(
            true, [] { return Detail::DebugClockTime{1, 2, 3}; },
            [this](const wchar_t* line) { mLines.push_back(line); });
    }

    void TearDown() override { Detail::restoreDebugOutput(); }

    std::vector<std::wstring> mLines;
};

std::vector<String> childNames(const XmlReaderNode& node) {
    std::vector<String> names;
    node.forEachChild([&names](const XmlReaderNode& child) { names.push_back(child.name()); });
    return names;
}

String attributeOf(const XmlReaderNode& node, const wchar_t* name) {
    String value = L"(none)";
    node.attribute(name, value);
    return value;
}

String repeated(const wchar_t* piece, int count) {
    String text;
    for (int i = 0; i < count; ++i) {
        text += piece;
    }
    return text;
}

TEST_F(XmlReaderNodeTest, WalksElementsNamesTextsAndAttributes) {
    const XmlReaderNode document(L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 L"<!-- written by the installer -->\n"
                                 L"<Database version=\"1\">\n"
                                 L"\t<Component name=\"Renderer \u00e9\">C:/Program Files/x</Component>\n"
                                 L"\ttext between\n"
                                 L"\t<Files/>\n"
                                 L"</Database>\n");
    ASSERT_TRUE(document.isValid());
    EXPECT_TRUE(mLines.empty());
    EXPECT_EQ(childNames(document), std::vector<String>{L"Database"});

    const XmlReaderNode* root = document.children();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->name(), "Database");
    EXPECT_EQ(attributeOf(*root, L"version"), "1");
    EXPECT_EQ(childNames(*root), (std::vector<String>{L"Component", L"Files"}));

    const XmlReaderNode& component = root->children()[0];
    EXPECT_EQ(attributeOf(component, L"name"), L"Renderer \u00e9");
    EXPECT_EQ(component.value(), "C:/Program Files/x");
    EXPECT_EQ(component.children(), nullptr);
    EXPECT_EQ(root->children()[1].value(), "");
}

TEST_F(XmlReaderNodeTest, TopLevelElementsAreTheRootNodesChildren) {
    const XmlReaderNode document(L"<a/><b></b>\n<c/>");
    ASSERT_TRUE(document.isValid());
    EXPECT_EQ(childNames(document), (std::vector<String>{L"a", L"b", L"c"}));
}

TEST_F(XmlReaderNodeTest, AByteOrderMarkIsSkipped) {
    const XmlReaderNode document(L"\ufeff<a x=\"1\">v</a>");
    ASSERT_TRUE(document.isValid());
    ASSERT_NE(document.children(), nullptr);
    EXPECT_EQ(document.children()->name(), "a");
    EXPECT_EQ(document.children()->value(), "v");
}

TEST_F(XmlReaderNodeTest, EmptyOrBlankTextIsADocumentWithoutElements) {
    for (const wchar_t* text : {L"", L" \r\n\t "}) {
        const XmlReaderNode document(text);
        ASSERT_TRUE(document.isValid());
        EXPECT_EQ(document.children(), nullptr);
    }
    EXPECT_TRUE(mLines.empty());
}

TEST_F(XmlReaderNodeTest, TextBeforeTheFirstTagIsAnErrorLine) {
    const XmlReaderNode document(L"  x<a/>");
    EXPECT_FALSE(document.isValid());
    ASSERT_EQ(mLines.size(), 1u);
    EXPECT_EQ(mLines[0], L"#TARVIO (1:2:3)  rapidxml error at  x<a/> :  expected <\n");
}

TEST_F(XmlReaderNodeTest, MalformedDocumentsLeaveTheNodeEmpty) {
    const wchar_t* malformed[] = {
        L"<a><b></a>",
        L"<a x=1/>",
        L"<a x=\"1/>",
        L"<a",
        L"< a/>",
        L"</a>",
        L"<a>&#xZZ;</a>",
        L"<!-- open",
        L"<![CDATA[ open",
        L"<?pi open",
        L"<!DOCTYPE x [",
        L"<!DOCTYPE x [[]",
    };
    for (const wchar_t* text : malformed) {
        mLines.clear();
        const XmlReaderNode document(text);
        EXPECT_FALSE(document.isValid()) << String(text);
        ASSERT_EQ(mLines.size(), 1u) << String(text);
        EXPECT_EQ(mLines[0].rfind(L"#TARVIO (1:2:3)  rapidxml error at  ", 0), 0u) << mLines[0];
    }
}

TEST_F(XmlReaderNodeTest, ReferencesComeBackDecoded) {
    const XmlReaderNode document(L"<a t='&lt;&amp;&gt;&quot;&apos;&#65;&#x42;'>&lt;b&gt; &#233;&#xe9;&amp;</a>");
    ASSERT_TRUE(document.isValid());
    const XmlReaderNode& element = *document.children();
    EXPECT_EQ(attributeOf(element, L"t"), "<&>\"'AB");
    EXPECT_EQ(element.value(), L"<b> \u00e9\u00e9&");
}

TEST_F(XmlReaderNodeTest, AttributeNamesMatchIgnoringAsciiCaseAndTheFirstWins) {
    const XmlReaderNode document(L"<a Path=\"first\" PATH=\"second\" \u00c9t\u00e9=\"x\"/>");
    ASSERT_TRUE(document.isValid());
    const XmlReaderNode& element = *document.children();
    EXPECT_EQ(attributeOf(element, L"path"), "first");
    EXPECT_EQ(attributeOf(element, L"PATH"), "first");
    EXPECT_EQ(attributeOf(element, L"\u00c9t\u00e9"), "x");
    // Letters outside ASCII keep their case, and a missing attribute leaves the output alone.
    EXPECT_EQ(attributeOf(element, L"\u00e9t\u00e9"), "(none)");
    EXPECT_EQ(attributeOf(element, L"missing"), "(none)");
    EXPECT_EQ(attributeOf(element, L""), "(none)");
}

TEST_F(XmlReaderNodeTest, TheValueIsTheFirstRunOfTextWithMoreThanWhiteSpace) {
    struct ValueCase {
        const wchar_t* text;
        const wchar_t* value;
    };
    const ValueCase cases[] = {
        {L"<a>  first run \n<b/>second</a>", L"  first run \n"},
        {L"<a>\n\t<b/>second<c/>third</a>", L"second"},
        {L"<a><![CDATA[raw]]></a>", L""},
        {L"<a></a>", L""},
    };
    for (const ValueCase& entry : cases) {
        const XmlReaderNode document(entry.text);
        ASSERT_TRUE(document.isValid()) << String(entry.text);
        EXPECT_EQ(document.children()->value(), String(entry.value)) << String(entry.text);
    }
}

TEST_F(XmlReaderNodeTest, NestingUpToTheLimitParses) {
    const XmlReaderNode document(repeated(L"<a>", XmlReaderNode::MaxDepth) + repeated(L"</a>", XmlReaderNode::MaxDepth));
    ASSERT_TRUE(document.isValid());
    int depth = 0;
    for (const XmlReaderNode* node = document.children(); node; node = node->children()) {
        ++depth;
    }
    EXPECT_EQ(depth, XmlReaderNode::MaxDepth);
}

TEST_F(XmlReaderNodeTest, DeeperNestingIsRefusedBeforeTheParserRecurses) {
    // Each prefix hides the nesting from a reader that does not skip markup exactly as the parser.
    const struct {
        const wchar_t* before;
        const wchar_t* after;
    } disguises[] = {
        {L"", L""},
        {L"<r a='<x>' b=\"/>\">", L"</r>"},
        {L"<?><b c=\"?>", L"\"/>"},
        {L"<!--><b c=\"-->", L"\"/>"},
        {L"<n'>", L"'>"},
        {L"<!DOCTYPE x [ \"]>", L"\"]>"},
    };
    for (int depth : {XmlReaderNode::MaxDepth + 1, 100000}) {
        for (const auto& disguise : disguises) {
            mLines.clear();
            const XmlReaderNode document(String(disguise.before) + repeated(L"<a>", depth) + disguise.after);
            EXPECT_FALSE(document.isValid()) << String(disguise.before);
            ASSERT_EQ(mLines.size(), 1u);
            const std::wstring ending = L":  elements nested too deeply\n";
            EXPECT_EQ(mLines[0].compare(mLines[0].size() - ending.size(), ending.size(), ending), 0) << mLines[0];
        }
    }
}

} // namespace
} // namespace Tarvio
