#include "tarviolib/xml/xmlwriternode.h"

#include "tarviolib/xml/xmlreadernode.h"

#include <gtest/gtest.h>

namespace Tarvio {
namespace {

// A small install database: attributes in order with a duplicate, nested children, empty values.
XmlWriterNode sampleTree() {
    XmlWriterNode root(L"Database", L"");
    root.addAttribute(L"version", L"1");
    XmlWriterNode& component = root.addChild(L"Component", L"");
    component.addAttribute(L"name", L"b").addAttribute(L"id", L"7").addAttribute(L"name", L"a");
    component.addChild(L"File", L"C:/Program Files/x.dll");
    root.addChild(L"Registry", L"");
    return root;
}

TEST(XmlWriterNodeTest, PrintsOnOneLineWithoutIndenting) {
    EXPECT_EQ(sampleTree().toString(false), "<Database version=\"1\"><Component name=\"b\" id=\"7\" name=\"a\">"
                                            "<File>C:/Program Files/x.dll</File></Component><Registry/></Database>");
}

// The printer ends the document, too, with a line break.
TEST(XmlWriterNodeTest, PrintsOneElementPerLineIndentedByTabs) {
    EXPECT_EQ(sampleTree().toString(true), "<Database version=\"1\">\n"
                                           "\t<Component name=\"b\" id=\"7\" name=\"a\">\n"
                                           "\t\t<File>C:/Program Files/x.dll</File>\n"
                                           "\t</Component>\n"
                                           "\t<Registry/>\n"
                                           "</Database>\n\n");
}

TEST(XmlWriterNodeTest, AValueBesideChildrenIsPrintedBeforeThemAndReadsBackWithTheLayout) {
    XmlWriterNode node(L"a", L"text");
    node.addChild(L"b", L"");
    const String printed = node.toString(true);
    EXPECT_EQ(printed, "<a>\n\ttext\n\t<b/>\n</a>\n\n");

    const XmlReaderNode document(printed);
    ASSERT_TRUE(document.isValid());
    EXPECT_EQ(document.children()->value(), "\n\ttext\n\t");
    EXPECT_EQ(node.toString(false), "<a>text<b/></a>");
}

TEST(XmlWriterNodeTest, ReferencesToEarlierChildrenStayValid) {
    XmlWriterNode root(L"r", L"");
    XmlWriterNode& first = root.addChild(L"first", L"");
    for (int i = 0; i < 100; ++i) {
        root.addChild(L"more", L"");
    }
    first.addAttribute(L"late", L"yes");
    const XmlReaderNode document(root.toString(false));
    ASSERT_TRUE(document.isValid());
    String late;
    EXPECT_TRUE(document.children()->children()[0].attribute(L"late", late));
    EXPECT_EQ(late, "yes");
}

TEST(XmlWriterNodeTest, SpecialAndNonAsciiTextReadsBackUnchanged) {
    const String text = String(L"<&> \"quoted\" 'single' \u00e9 ") + String(L"\xd83d\xde00", 2);
    XmlWriterNode root(L"r\u00e9", text);
    root.addAttribute(L"a", text);
    for (bool indent : {false, true}) {
        const XmlReaderNode document(root.toString(indent));
        ASSERT_TRUE(document.isValid()) << indent;
        const XmlReaderNode& element = *document.children();
        EXPECT_EQ(element.name(), L"r\u00e9");
        EXPECT_EQ(element.value(), text);
        String attribute;
        EXPECT_TRUE(element.attribute(L"a", attribute));
        EXPECT_EQ(attribute, text);
    }
}

TEST(XmlWriterNodeTest, TheSampleTreeSurvivesAPrintAndParse) {
    const XmlReaderNode document(sampleTree().toString(true));
    ASSERT_TRUE(document.isValid());
    const XmlReaderNode& root = *document.children();
    const XmlReaderNode& component = root.children()[0];
    String value;
    EXPECT_TRUE(component.attribute(L"ID", value));
    EXPECT_EQ(value, "7");
    EXPECT_TRUE(component.attribute(L"name", value));
    EXPECT_EQ(value, "b");
    EXPECT_EQ(component.children()[0].name(), "File");
    EXPECT_EQ(component.children()[0].value(), "C:/Program Files/x.dll");
    EXPECT_EQ(root.children()[1].name(), "Registry");
}

} // namespace
} // namespace Tarvio
