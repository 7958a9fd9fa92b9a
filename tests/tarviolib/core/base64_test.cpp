#include "tarviolib/core/base64.h"

#include <gtest/gtest.h>

#include <cstring>

namespace Tarvio {
namespace {

TEST(Base64Test, EncodesTheRfc4648VectorsAndHighBytes) {
    const struct {
        const char* bytes;
        const char* text;
    } cases[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
        {"\xFF\xFE\xFD", "//79"}, // bytes above 127 are not sign-extended into their neighbours
        {"\xFB\xFF", "+/8="},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(base64Encode(reinterpret_cast<const uint8_t*>(c.bytes), static_cast<int32_t>(std::strlen(c.bytes))),
                  String(c.text));
    }
}

TEST(Base64Test, ZeroBytesAreData) {
    const uint8_t zeros[4] = {};
    EXPECT_EQ(base64Encode(zeros, 4), String("AAAAAA=="));
}

} // namespace
} // namespace Tarvio
