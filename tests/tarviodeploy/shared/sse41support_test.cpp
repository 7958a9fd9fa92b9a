#include "tarviodeploy/shared/sse41support.h"

#include "tarviolib/winapi/systeminfo.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace Tarvio {
namespace {

TEST(Sse41Support, FollowsTheProcessorsSse41Bit) {
    EXPECT_EQ(isSse41Supported(), (SystemInfo::cpuFeatures() & 4u) != 0);
    SetEnvironmentVariableW(L"TARVIO_TEST_SYSTEM", L"no-sse41");
    EXPECT_FALSE(isSse41Supported());
    SetEnvironmentVariableW(L"TARVIO_TEST_SYSTEM", nullptr);
}

} // namespace
} // namespace Tarvio
