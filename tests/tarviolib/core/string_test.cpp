#include "tarviolib/core/badalloc.h"
#include "tarviolib/core/string.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <utility>

namespace Tarvio {
namespace {

TEST(StringTest, NarrowConstructorSignExtendsBytes) {
    const String text("a\xE9");
    ASSERT_EQ(text.size(), 2);
    EXPECT_EQ(static_cast<uint32_t>(text[0]), 0x61u);
    EXPECT_EQ(static_cast<uint32_t>(text[1]), 0xFFE9u);
    EXPECT_TRUE(String(static_cast<const char*>(nullptr)).isEmpty());
    EXPECT_TRUE(String("").isEmpty());
    EXPECT_TRUE(String(static_cast<const wchar_t*>(nullptr)).isEmpty());
    EXPECT_EQ(String(L'x', 3), L"xxx");
    EXPECT_TRUE(String(L'x', -1).isEmpty());
}

TEST(StringTest, EmptyStringReadsAsEmptyText) {
    String text;
    EXPECT_STREQ(text.text(), L"");
    EXPECT_EQ(text.terminate(), nullptr);
    String filled(L"ab");
    ASSERT_NE(filled.terminate(), nullptr);
    EXPECT_EQ(filled.terminate()[2], L'\0');
}

TEST(StringTest, Utf8RoundTrip) {
    // é, €, U+1F600 (a surrogate pair in UTF-16)
    const char* bytes = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    const String text = String::fromUtf8(bytes);
    ASSERT_EQ(text.size(), 5);
    const uint32_t expected[] = {0x61, 0xE9, 0x20AC, 0xD83D, 0xDE00};
    for (int32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(static_cast<uint32_t>(text[i]), expected[i]) << i;
    }
    const NarrowString narrow = text.toUtf8();
    EXPECT_EQ(narrow.length(), static_cast<int32_t>(std::strlen(bytes)));
    EXPECT_STREQ(narrow.text(), bytes);
    EXPECT_TRUE(String::fromUtf8(nullptr).isEmpty());
    EXPECT_TRUE(String::fromUtf8("").isEmpty());
}

TEST(StringTest, IllFormedTextBecomesReplacementCharacters) {
    const String decoded = String::fromUtf8("\xC3(");
    ASSERT_EQ(decoded.size(), 2);
    EXPECT_EQ(static_cast<uint32_t>(decoded[0]), 0xFFFDu);
    EXPECT_EQ(decoded[1], L'(');

    String loneSurrogate(L"x");
    loneSurrogate += static_cast<wchar_t>(0xD800);
    EXPECT_STREQ(loneSurrogate.toUtf8().text(), "x\xEF\xBF\xBD");
}

TEST(StringTest, EmptyConversionsAreEmptyTexts) {
    const NarrowString utf8 = String().toUtf8();
    EXPECT_EQ(utf8.length(), 0);
    EXPECT_STREQ(utf8.text(), "");
    EXPECT_STREQ(String().toAscii('_').text(), "");
    EXPECT_STREQ(String().toWideBuffer().text(), L"");
}

TEST(StringTest, ToAsciiReplacesEveryNonAsciiUnit) {
    const NarrowString ascii = String::fromUtf8("a\xC3\xA9z\xF0\x9F\x98\x80").toAscii('_');
    EXPECT_STREQ(ascii.text(), "a_z__");
    EXPECT_EQ(ascii.length(), 5);
}

TEST(StringTest, WideBufferHoldsUnitsAndTerminator) {
    WideBuffer buffer = String(L"abc").toWideBuffer();
    EXPECT_EQ(buffer.length(), 3);
    EXPECT_STREQ(buffer.data(), L"abc");
}

TEST(StringTest, DecimalText) {
    EXPECT_EQ(toString(0), "0");
    EXPECT_EQ(toString(-42), "-42");
    EXPECT_EQ(toString(1234567), "1234567");
    String text("n=");
    text += -7;
    EXPECT_EQ(text, "n=-7");
}

TEST(StringTest, MoveAssignmentLeavesSourceWithTargetsText) {
    String target(L"old");
    String source(L"new");
    target = std::move(source);
    EXPECT_EQ(target, L"new");
    EXPECT_EQ(source, L"old");

    String moved(std::move(target));
    EXPECT_EQ(moved, L"new");
    EXPECT_TRUE(target.isEmpty());
    EXPECT_STREQ(target.text(), L"");
}

TEST(StringTest, CopiesAreIndependent) {
    String original(L"abc");
    String copy(original);
    copy += L'd';
    String assigned;
    assigned = original;
    original.erase(0, 1);
    EXPECT_EQ(copy, L"abcd");
    EXPECT_EQ(assigned, L"abc");
    EXPECT_EQ(original, L"bc");
}

TEST(StringTest, Comparisons) {
    EXPECT_TRUE(String(L"abc") == "abc");
    EXPECT_TRUE("abc" == String(L"abc"));
    EXPECT_TRUE(String(L"abc") != "abd");
    EXPECT_TRUE(String(L"ab") < String(L"abc"));
    EXPECT_FALSE(String(L"abc") < String(L"ab"));
    EXPECT_FALSE(String(L"ab") < String(L"ab"));
    // Units compare unsigned: U+FFFF orders after 'a'.
    EXPECT_TRUE(String(L"a") < String(static_cast<wchar_t>(0xFFFF), 1));
    EXPECT_FALSE(String(static_cast<wchar_t>(0xFFFF), 1) < String(L"a"));
}

TEST(StringTest, Concatenation) {
    String text = "x" + String(L"y");
    text += "z";
    text += '!';
    text += String(L"\x263A");
    EXPECT_EQ(text, String(L"xyz!\x263A"));
    EXPECT_EQ(String(L"a") + String(L"b"), L"ab");
}

TEST(StringTest, AppendingItselfSurvivesGrowth) {
    String text(L"abc");
    text += text;
    text += text;
    EXPECT_EQ(text, L"abcabcabcabc");
}

TEST(StringTest, ConstructorsWithKnownLengthAllocateOnceAndAppendingGrowsByHalf) {
    String text(L"abc");
    EXPECT_EQ(text.capacity(), 4);
    // The unit fits; its terminator does not, so the block grows to max(5, 4 + 2).
    text += L'd';
    EXPECT_EQ(text.capacity(), 6);
    EXPECT_STREQ(text.text(), L"abcd");
}

TEST(StringTest, EraseClampsItsRange) {
    struct Case {
        int32_t position;
        int32_t count;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {1, 2, L"adef"},   {0, 100, L""},    {4, 100, L"abcd"}, {-3, 2, L"cdef"},
        {10, 2, L"abcdef"}, {2, 0, L"abcdef"}, {2, -1, L"abcdef"},
    };
    for (const Case& c : cases) {
        String text(L"abcdef");
        text.erase(c.position, c.count);
        EXPECT_EQ(text, c.expected) << c.position << "," << c.count;
        EXPECT_STREQ(text.text(), c.expected);
    }
}

TEST(StringTest, SubstrClampsItsRange) {
    struct Case {
        int32_t index;
        int32_t count;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {0, 3, L"abc"}, {2, String::NotFound, L"cdef"}, {4, 10, L"ef"}, {6, 1, L""},
        {-2, 2, L"ab"}, {1, 0, L""},                    {1, -5, L""},
    };
    const String text(L"abcdef");
    for (const Case& c : cases) {
        EXPECT_EQ(text.substr(c.index, c.count), c.expected) << c.index << "," << c.count;
    }
}

TEST(StringTest, Find) {
    struct Case {
        const wchar_t* text;
        const wchar_t* needle;
        int32_t from;
        int32_t endBound;
        int32_t expected;
    };
    const Case cases[] = {
        {L"abcabc", L"bc", 0, String::NotFound, 1},
        {L"abcabc", L"bc", 2, String::NotFound, 4},
        {L"abcabc", L"bc", 5, String::NotFound, String::NotFound},
        {L"abcabc", L"bc", 1, 2, 1}, // a match exactly at from
        {L"abcabc", L"bc", 2, 3, String::NotFound},
        {L"abcabc", L"ca", -4, String::NotFound, 2},
        {L"abc", L"", 5, String::NotFound, 5},
        {L"ab", L"abc", 0, String::NotFound, String::NotFound},
        {L"", L"a", 0, String::NotFound, String::NotFound},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(String(c.text).find(c.needle, c.from, c.endBound), c.expected)
            << String(c.text) << " / " << String(c.needle) << " from " << c.from;
    }
}

TEST(StringTest, UnitSearches) {
    const String text(L"a/b\\c/d");
    EXPECT_EQ(text.findFirstOf(L"/\\"), 1);
    EXPECT_EQ(text.findFirstOf(L"/\\", 2), 3);
    EXPECT_EQ(text.findFirstOf(L"/\\", -10), 1);
    EXPECT_EQ(text.findFirstOf(L""), String::NotFound);
    EXPECT_EQ(text.findFirstOf(L"x"), String::NotFound);
    EXPECT_EQ(text.findLastOf(L"/\\"), 5);
    EXPECT_EQ(text.findLastOf(L"/\\", 4), 3);
    EXPECT_EQ(text.findLastOf(L"/\\", -1), String::NotFound);
    EXPECT_EQ(text.findLast(L'/'), 5);
    EXPECT_EQ(text.findLast(L'/', 4), 1);
    EXPECT_EQ(text.findLast(L'x'), String::NotFound);
    EXPECT_EQ(String().findLast(L'a'), String::NotFound);
    EXPECT_EQ(String(L"a00").findLastNot(L'0'), 0);
    EXPECT_EQ(String(L"000").findLastNot(L'0'), String::NotFound);
    EXPECT_EQ(String().findLastNot(L'0'), String::NotFound);
}

TEST(StringTest, Split) {
    struct Case {
        const wchar_t* text;
        bool skipEmpty;
        Array<String> expected;
    };
    const Case cases[] = {
        {L"a,b,c", false, {L"a", L"b", L"c"}},
        {L"a,,b", false, {L"a", L"", L"b"}},
        {L"a,,b", true, {L"a", L"b"}},
        {L"a,b,", false, {L"a", L"b", L""}},
        {L"a,b,", true, {L"a", L"b"}},
        {L"", false, {L""}},
        {L"", true, {}},
    };
    for (const Case& c : cases) {
        const Array<String> segments = String(c.text).split(L",", c.skipEmpty);
        ASSERT_EQ(segments.size(), c.expected.size()) << String(c.text) << " skip " << c.skipEmpty;
        for (int32_t i = 0; i < segments.size(); ++i) {
            EXPECT_EQ(segments[i], c.expected[i]);
        }
    }
    const Array<String> multi = String(L"a::b").split(L"::", false);
    ASSERT_EQ(multi.size(), 2);
    EXPECT_EQ(multi[1], L"b");
    EXPECT_EQ(String(L"ab").split(L"", false).size(), 1);
}

TEST(StringTest, ReplaceAll) {
    String run(L"aaaa");
    EXPECT_EQ(run.replaceAll(L"aa", L"a"), 2);
    EXPECT_EQ(run, L"aa");

    String path(L"a\\b\\c");
    EXPECT_EQ(path.replaceAll(L"\\", L"/"), 2);
    EXPECT_EQ(path, L"a/b/c");

    String grow(L"xax");
    EXPECT_EQ(grow.replaceAll(L"x", L"xx"), 2);
    EXPECT_EQ(grow, L"xxaxx");

    String unchanged(L"abc");
    EXPECT_EQ(unchanged.replaceAll(L"", L"z"), 0);
    EXPECT_EQ(unchanged.replaceAll(L"q", L"z"), 0);
    EXPECT_EQ(unchanged, L"abc");
}

TEST(StringTest, Trim) {
    struct Case {
        const wchar_t* text;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"  a b \t", L"a b"}, {L" \t \t", L""}, {L"\n\v\f\rx\r\n", L"x"}, {L"x", L"x"}, {L"", L""},
    };
    for (const Case& c : cases) {
        String text(c.text);
        text.trim();
        EXPECT_EQ(text, c.expected);
    }
}

TEST(StringTest, CaseConversion) {
    String text(L"MiXed 1");
    EXPECT_EQ(text.lowerCased(), L"mixed 1");
    EXPECT_EQ(text, L"MiXed 1");
    text.toUpper();
    EXPECT_EQ(text, L"MIXED 1");
    text.toLower();
    EXPECT_EQ(text, L"mixed 1");
}

TEST(StringTest, StreamOutput) {
    std::ostringstream narrow;
    narrow << String::fromUtf8("\xC3\xA9!");
    EXPECT_EQ(narrow.str(), "\xC3\xA9!");
    std::wostringstream wide;
    wide << String(L"ab") << String();
    EXPECT_EQ(wide.str(), L"ab");
}

TEST(StringTest, TextsBeyondInt32FailAsOutOfMemory) {
    EXPECT_THROW(String(L'x', INT32_MAX), BadAlloc);
}

} // namespace
} // namespace Tarvio
