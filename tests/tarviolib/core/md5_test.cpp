#include "tarviolib/core/md5.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace Tarvio {
namespace {

struct DigestCase {
    const char* text;
    const char* digest;
};

// The test suite of RFC 1321.
const DigestCase rfc1321Cases[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57edf4a22be3c955ac49da2e2107b67a"},
};

const uint8_t* bytesOf(const char* text) { return reinterpret_cast<const uint8_t*>(text); }

TEST(Md5Test, Md5HexGivesTheRfc1321DigestsInLowercase) {
    for (const DigestCase& entry : rfc1321Cases) {
        EXPECT_EQ(md5Hex(entry.text), String(entry.digest)) << entry.text;
    }
}

TEST(Md5Test, UpdatesInTwoPiecesGiveTheDigestOfTheWhole) {
    // Every split of the 80-byte vector crosses the 56- and 64-byte block boundaries differently.
    const DigestCase& entry = rfc1321Cases[6];
    const uint32_t length = static_cast<uint32_t>(std::strlen(entry.text));
    for (uint32_t split = 0; split <= length; ++split) {
        Md5 digest;
        digest.update(bytesOf(entry.text), split);
        digest.update(bytesOf(entry.text) + split, length - split);
        digest.finalize();
        EXPECT_STREQ(digest.hexDigest().text(), entry.digest) << split;
    }
}

TEST(Md5Test, AMillionBytesInOddChunks) {
    const std::string chunk(999, 'a');
    Md5 digest;
    for (int i = 0; i < 1001; ++i) {
        digest.update(bytesOf(chunk.c_str()), static_cast<uint32_t>(chunk.size()));
    }
    digest.update(bytesOf(chunk.c_str()), 1);
    digest.finalize();
    EXPECT_STREQ(digest.hexDigest().text(), "7707d6ae4e027c70eea2a935c2296f21");
}

TEST(Md5Test, HexDigestIsEmptyUntilFinalizedAndASecondFinalizeChangesNothing) {
    Md5 digest;
    digest.update(bytesOf("abc"), 3);
    EXPECT_TRUE(digest.hexDigest().isEmpty());

    digest.finalize();
    const std::string first = digest.hexDigest().text();
    digest.finalize();
    EXPECT_EQ(first, "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(digest.hexDigest().text(), first);
}

} // namespace
} // namespace Tarvio
