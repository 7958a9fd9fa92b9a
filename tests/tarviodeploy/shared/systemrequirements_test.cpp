#include "tarviodeploy/shared/systemrequirements.h"

#include "tests/support/scopedenvironmentvariable.h"

#include <gtest/gtest.h>

namespace Tarvio {
namespace {

using Testing::ScopedEnvironmentVariable;

// The tests run as a 32-bit program on a 64-bit Windows 7 or newer (or its emulation).
TEST(SystemRequirementsTest, TheTestMachineMeetsThem) {
    EXPECT_TRUE(isWindows7OrNewer());
    EXPECT_TRUE(is64BitWindows());
}

TEST(SystemRequirementsTest, TestBuildsCanPretendToBeALesserSystem) {
    const struct {
        const wchar_t* traits;
        bool windows7;
        bool windows64;
    } cases[] = {
        {L"pre-windows7", false, true},
        {L"32-bit-windows", true, false},
        {L"no-sse41,32-bit-windows,pre-windows7", false, false},
        {L"", true, true},
    };
    for (const auto& c : cases) {
        const ScopedEnvironmentVariable system(L"TARVIO_TEST_SYSTEM", c.traits);
        EXPECT_EQ(isWindows7OrNewer(), c.windows7);
        EXPECT_EQ(is64BitWindows(), c.windows64);
    }
}

} // namespace
} // namespace Tarvio
