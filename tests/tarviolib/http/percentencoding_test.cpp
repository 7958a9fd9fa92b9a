#include "tarviolib/http/percentencoding.h"

#include <gtest/gtest.h>

namespace Tarvio {
namespace {

struct EncodingCase {
    String text;
    const char* encoded;
};

TEST(PercentEncodingTest, EncodesEveryUtf8ByteButUnreservedCharactersInLowercaseHex) {
    const EncodingCase cases[] = {
        {L"azAZ09-._~", "azAZ09-._~"},
        {L" ", "%20"},
        {L"/", "%2f"},
        {L"+%&=?#", "%2b%25%26%3d%3f%23"},
        {L"\u00e9", "%c3%a9"},
        {String(L"\xd83d\xde00", 2), "%f0%9f%98%80"}, // one character outside the BMP
        {L"", ""},
    };
    for (const EncodingCase& entry : cases) {
        EXPECT_EQ(percentEncode(entry.text), String(entry.encoded)) << entry.encoded;
    }
}

TEST(PercentEncodingTest, FormEncodingTurnsOnlyEncodedBlanksIntoPlus) {
    EXPECT_EQ(formEncode(L"a b+c"), "a+b%2bc");
    EXPECT_EQ(formEncode(L"%20 100%"), "%2520+100%25");
}

TEST(PercentEncodingTest, PathEncodingKeepsTheSlashesAndEncodesBetweenThem) {
    EXPECT_EQ(percentEncodePath(L"my dir/sub dir/a+b.txt"), "my%20dir/sub%20dir/a%2bb.txt");
    EXPECT_EQ(percentEncodePath(L"/a//b/"), "/a//b/");
    EXPECT_EQ(percentEncodePath(L""), "");
}

} // namespace
} // namespace Tarvio
